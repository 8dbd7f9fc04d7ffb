#!/usr/bin/env bash
# Makes orvella-<version>-win64.zip for 64-bit Windows: the window (orvella.exe), the command line
# (orvella-convert.exe), each one .exe that needs no DLL, and a short read-me in Japanese. Unzip and
# double-click: nothing to install.
#   scripts/package-windows.sh          cross-builds into build-windows/ (or $ORVELLA_WINDOWS_BUILD_DIR)
#                                       and writes the zip into the current folder of the repository
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=${ORVELLA_WINDOWS_BUILD_DIR:-build-windows}

for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-strip zip; do
  command -v "$tool" >/dev/null 2>&1 || {
    echo "package-windows.sh: $tool is missing; scripts/setup.sh test installs it." >&2
    exit 1
  }
done

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DORVELLA_BUILD_UI=ON "${launcher[@]}" >/dev/null
cmake --build "$dir" -j "${ORVELLA_JOBS:-2}" --target orvella orvella-convert
version=$(sed -n 's/.*kVersion = "\(.*\)";.*/\1/p' "$dir/generated/core/version.hpp")
[ -n "$version" ] || { echo "package-windows.sh: no version in $dir/generated/core/version.hpp" >&2; exit 1; }

name=orvella-$version-win64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
for exe in orvella orvella-convert; do
  x86_64-w64-mingw32-strip -o "$stage/$name/$exe.exe" "$dir/bin/$exe.exe"
done
# Notepad reads UTF-8 with its mark and CR LF line ends on every Windows version.
{
  printf '\xef\xbb\xbf'
  sed 's/$/\r/' <<EOF
Orvella $version (64 ビット Windows 用)

テキストファイル (Shift_JIS、UTF-8、UTF-16) を、番号付きの vMessage ファイル
(E1__0000.VMG、E1__0001.VMG ...) に分割します。

■ ウィンドウ版 orvella.exe

  orvella.exe をダブルクリックすると開きます。「...」で変換するテキストファイルを
  選び (ウィンドウや orvella.exe のアイコンにファイルをドロップしても選べます)、
  「変換」を押して出力先のフォルダを選んでください。

■ コマンドライン版 orvella-convert.exe

使い方 (コマンドプロンプトまたは PowerShell で):

  orvella-convert.exe -o 出力先のフォルダ 入力ファイル.txt

  出力先のフォルダは先に作っておいてください。
  1 ファイルの大きさは --max-bytes で変えられます (既定: 10000 バイト)。
  オプションの一覧: orvella-convert.exe --help

終了コード: 0 すべて書き込み済み / 1 変換中の失敗 / 2 指定の誤り

インストールは不要です。zip を展開して、好きなフォルダに置いて使ってください。
ほかのファイル (DLL) は必要ありません。設定は保存しません (レジストリにも書き込みません)。
EOF
} >"$stage/$name/readme-ja.txt"  # an ASCII name: older Explorers misread others in a zip

rm -f "$root/$name.zip"
(cd "$stage" && zip -q -r -X "$root/$name.zip" "$name")
echo "$root/$name.zip"
unzip -l "$root/$name.zip"
