#!/usr/bin/env bash
# Cross-builds orvella-convert.exe and its tests for 64-bit Windows with MinGW-w64 and runs them
# under Wine; then converts one Japanese text with the Linux build and with the .exe into
# Japanese-named folders and compares the records byte for byte.
#   scripts/windows-tests.sh            build into build-windows/ (or $ORVELLA_WINDOWS_BUILD_DIR)
# Skipped, with a note, when the cross compiler or Wine is missing (scripts/setup.sh test).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS

compiler=x86_64-w64-mingw32-g++-posix
wine=$(command -v wine64 || true)
[ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || true)
[ -z "$wineserver" ] && [ -x /usr/lib/wine/wineserver ] && wineserver=/usr/lib/wine/wineserver
if ! command -v "$compiler" >/dev/null 2>&1 || [ -z "$wine" ] || [ -z "$wineserver" ]; then
  echo "windows-tests.sh: skipped, $compiler or Wine (wine64) is missing; scripts/setup.sh test installs them." >&2
  exit 0
fi

dir=${ORVELLA_WINDOWS_BUILD_DIR:-build-windows}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
jobs=${ORVELLA_JOBS:-2}

# The same Wine the build's test discovery uses (see cmake/mingw-w64-x86_64.cmake): a prefix of
# its own, quiet, and a UTF-8 locale so Japanese names pass between Linux and Windows unchanged.
# Japanese, where the system can make that locale, so Windows runs with code page 932 as on a
# Japanese desktop; the locale is built once under the build folder, without root.
export WINEPREFIX=$dir/wine WINEDEBUG=-all LC_ALL=C.UTF-8
if [ ! -d "$dir/locale/ja_JP.UTF-8" ] && command -v localedef >/dev/null 2>&1; then
  mkdir -p "$dir/locale"
  localedef -i ja_JP -f UTF-8 "$dir/locale/ja_JP.UTF-8" >/dev/null 2>&1 || rm -rf "$dir/locale/ja_JP.UTF-8"
fi
if [ -d "$dir/locale/ja_JP.UTF-8" ]; then
  export LOCPATH=$dir/locale LC_ALL=ja_JP.UTF-8
else
  echo "windows-tests.sh: no Japanese locale (the locales package has its sources); tests of code page 932 are skipped." >&2
fi
# One server for the whole run: starting Wine afresh for each test would take seconds each.
# Its helper processes get no terminal or pipe, so nothing waits on them.
cleanup() { "$wineserver" -k >/dev/null 2>&1 || true; }
trap cleanup EXIT
mkdir -p "$WINEPREFIX"
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -p </dev/null >/dev/null 2>&1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing Wine in $WINEPREFIX"
  boot=$SECONDS
  "$wine" wineboot -i </dev/null >/dev/null 2>&1
  echo "  took $((SECONDS - boot)) s"
else
  "$wine" wineboot </dev/null >/dev/null 2>&1
fi

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# Release: no debug information to write and link into static programs, which would cost more
# time than the tests take.
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DORVELLA_BUILD_UI=OFF -DORVELLA_BUILD_TESTS=ON "${launcher[@]}" >/dev/null
build_started=$SECONDS
cmake --build "$dir" -j "$jobs"
echo "windows-tests.sh: build took $((SECONDS - build_started)) s"

tests_started=$SECONDS
ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 120
echo "windows-tests.sh: tests took $((SECONDS - tests_started)) s"

# The same text through both builds, fixed Date, into Japanese-named folders: the records must
# be the same bytes.
linux=${ORVELLA_BUILD_DIR:-build}/bin/orvella-convert
if [ ! -x "$linux" ]; then
  linux_dir=$root/build-windows-compare
  cmake -S . -B "$linux_dir" -DORVELLA_BUILD_UI=OFF -DORVELLA_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
  cmake --build "$linux_dir" -j "$jobs" --target orvella-convert
  linux=$linux_dir/bin/orvella-convert
fi
work=$(mktemp -d)
trap 'rm -rf "$work"; cleanup' EXIT
input="$work/入力 テキスト/小説 第一部.txt"
mkdir -p "$(dirname "$input")" "$work/Linux の出力" "$work/Windows の出力"
{
  for i in $(seq 1 40); do printf '第%d章 吾輩は猫である。名前はまだ無い。ｱｲｳｴｵ ABC\r\n' "$i"; done
  printf 'CR だけの行\r'
  printf 'LF は行の中に\nとどまる\r\n'
  printf 'Ctrl-Z の後も \032 続く\r\n'
  printf '最後の行に行末はない'
} | iconv -f UTF-8 -t CP932 >"$input"
date_header="Wed, 11 Feb 2004 05:15:55 +0900"
args=(-q --date "$date_header" --max-bytes 400 --from "送信者@example.jp")
"$linux" "${args[@]}" -o "$work/Linux の出力" "$input"
winpath() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
"$wine" "$dir/bin/orvella-convert.exe" "${args[@]}" -o "$(winpath "$work/Windows の出力")" "$(winpath "$input")"
linux_files=$(cd "$work/Linux の出力" && ls)
windows_files=$(cd "$work/Windows の出力" && ls)
if [ "$linux_files" != "$windows_files" ] || [ -z "$linux_files" ]; then
  echo "windows-tests.sh: the two builds wrote different files:" >&2
  echo "Linux: $linux_files" >&2
  echo "Windows: $windows_files" >&2
  exit 1
fi
for f in $linux_files; do
  cmp "$work/Linux の出力/$f" "$work/Windows の出力/$f"
done
echo "Linux and Windows builds wrote the same $(echo "$linux_files" | wc -l) records, byte for byte."
echo "windows-tests.sh: done in $((SECONDS - started)) s"
