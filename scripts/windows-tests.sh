#!/usr/bin/env bash
# Cross-builds orvella-convert.exe, the window orvella.exe and their tests for 64-bit Windows with
# MinGW-w64 and runs them under Wine (the window's on a private Xvfb screen); then converts one
# Japanese text with the Linux build and with the .exe into Japanese-named folders and compares
# the records byte for byte, and drives the real orvella.exe from outside with the probe, whose
# records must be orvella-convert.exe's for the same Date.
#   scripts/windows-tests.sh            build into build-windows/ (or $ORVELLA_WINDOWS_BUILD_DIR)
# Skipped, with a note, when the cross compiler or Wine is missing (scripts/setup.sh test); the
# window's part, when Xvfb is.
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
xvfb_pid=
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
# The window's tests need a screen: a private one, on the first free display number.
window=OFF
if command -v Xvfb >/dev/null 2>&1; then
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  if [ -s "$display_file" ]; then
    export DISPLAY=:$(head -n1 "$display_file")
    window=ON
  fi
  rm -f "$display_file"
fi
[ $window = ON ] || echo "windows-tests.sh: the window (orvella.exe) is left out: Xvfb is missing; scripts/setup.sh test installs it." >&2
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
  -DORVELLA_BUILD_UI=$window -DORVELLA_BUILD_TESTS=ON "${launcher[@]}" >/dev/null
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

# The window end to end: orvella.exe started as a user starts it; the probe sets To and the limit,
# answers the Open dialog with two texts (the second part named first, as chosen, so they make one
# series in that order) and the folder picker, all with Japanese names, and reads the completion box.
# Each record carries the clock's Date as it stood when the record began (a run that writes and
# flushes several may span seconds), so orvella-convert.exe is run with the first record's Date and
# each of its records must be the window's byte for byte with the window's Date in its place.
if [ $window = ON ]; then
  window_started=$SECONDS
  window_out="$work/ウィンドウ の出力"
  convert_out="$work/コマンドライン の出力"
  to="宛先@example.jp"
  mkdir -p "$window_out" "$convert_out"
  second="$work/入力 テキスト/小説 第二部.txt"
  printf '第二部の\r\n本文\r\n' | iconv -f UTF-8 -t CP932 >"$second"
  "$wine" "$dir/bin/orvella.exe" </dev/null >/dev/null 2>&1 &
  window_pid=$!
  "$wine" "$dir/bin/orvella-probe.exe" find "set txtTo $to" "set txtMaxLength 400" "click Command2" \
    "answer \"$(winpath "$second")\" \"$(winpath "$input")\"" "get txtFileName" "get txtSubject" \
    "click comConvert" "answer $(winpath "$window_out")" box close </dev/null | tr -d '\r' >"$work/probe.txt" || { cat "$work/probe.txt" >&2; exit 1; }
  wait "$window_pid"
  cat "$work/probe.txt"
  grep -qx "box ファイルの変換が完了しました！" "$work/probe.txt" || { echo "windows-tests.sh: no completion box" >&2; exit 1; }
  dateOf() { LC_ALL=C tr -d '\r' <"$1" | LC_ALL=C sed -n 's/^Date: //p' | head -n1; }
  window_files=$(cd "$window_out" && ls)
  first=$(echo "$window_files" | head -n1)
  "$wine" "$dir/bin/orvella-convert.exe" -q --date "$(dateOf "$window_out/$first")" --max-bytes 400 --to "$to" \
    -o "$(winpath "$convert_out")" "$(winpath "$second")" "$(winpath "$input")"
  [ -n "$window_files" ] && [ "$window_files" = "$(cd "$convert_out" && ls)" ] || {
    echo "windows-tests.sh: orvella.exe and orvella-convert.exe wrote different files" >&2; exit 1; }
  for f in $window_files; do
    LC_ALL=C sed "0,/^Date: .*\r\$/s//Date: $(dateOf "$window_out/$f")\r/" "$convert_out/$f" | cmp - "$window_out/$f"
  done
  # Nothing saved: no path of this run is named anywhere in Wine's registry (which writes
  # non-ASCII characters escaped, hence the ASCII name of the scratch folder).
  if grep -qF "$(basename "$work")" "$WINEPREFIX"/*.reg; then
    echo "windows-tests.sh: the window left a name in the registry" >&2; exit 1
  fi
  echo "orvella.exe wrote the same $(echo "$window_files" | wc -l) records as orvella-convert.exe, byte for byte ($((SECONDS - window_started)) s)."
fi
echo "windows-tests.sh: done in $((SECONDS - started)) s"
