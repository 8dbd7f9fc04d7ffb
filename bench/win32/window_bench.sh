#!/usr/bin/env bash
# Times one conversion through the window, orvella.exe, against orvella-convert.exe on the same
# generated code page 932 text under Wine, and prints both and the window's as a multiple.
#   bench/win32/window_bench.sh [SIZE] [RUNS]     default 50M, 3 runs each, alternating
# The window is driven by the probe (tests/win32/probe.cpp). Three figures each:
# - the conversion itself: from the first record's last write to the last one's, read off the
#   records, so neither the start of a process nor the dialogs count;
# - as a user waits: the window from the folder dialog's OK to the completion box (which takes in
#   Wine's file dialog closing and the probe looking every quarter second), the command line as its
#   whole process;
# - the processor time each process took (start-up included), which a busy machine disturbs less.
# Needs a Windows build with the window and its tests in build-windows/ (scripts/windows-tests.sh)
# and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/../.."
size=${1:-50M}
runs=${2:-3}
bin=$PWD/${ORVELLA_WINDOWS_BUILD_DIR:-build-windows}/bin
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX=$(dirname "$bin")/wine WINEDEBUG=-all LC_ALL=C.UTF-8
work=$(mktemp -d)
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid"; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
winpath() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

python3 tools/gen_text.py "$work/text.txt" --size "$size" >/dev/null
input=$(winpath "$work/text.txt")
window_ms=()
convert_ms=()
window_cpu=()
convert_cpu=()
window_span=()
convert_span=()
# Milliseconds from the first record written to the last.
span() { find "$1" -name '*.VMG' -printf '%T@\n' | sort -n | awk 'NR == 1 { first = $1 } END { printf "%d", ($1 - first) * 1000 }'; }
cpu() { awk '{ printf "%d", ($1 + $2) * 1000 }' "$1"; }
for run in $(seq "$runs"); do
  rm -rf "$work/w" "$work/c"
  mkdir "$work/w" "$work/c"
  /usr/bin/time -f '%U %S' -o "$work/window.cpu" "$wine" "$bin/orvella.exe" </dev/null >/dev/null 2>&1 &
  window_pid=$!
  times=$("$wine" "$bin/orvella-probe.exe" find "click Command2" "answer $input" "click comConvert" "answer $(winpath "$work/w")" clock box clock close \
    </dev/null | tr -d '\r' | sed -n 's/^clock //p')
  wait "$window_pid"
  window_ms+=($(($(echo "$times" | tail -n1) - $(echo "$times" | head -n1))))
  started=$(date +%s%N)
  /usr/bin/time -f '%U %S' -o "$work/convert.cpu" "$wine" "$bin/orvella-convert.exe" -q -o "$(winpath "$work/c")" "$input" </dev/null
  convert_ms+=($((($(date +%s%N) - started) / 1000000)))
  window_span+=($(span "$work/w"))
  convert_span+=($(span "$work/c"))
  window_cpu+=($(cpu "$work/window.cpu"))
  convert_cpu+=($(cpu "$work/convert.cpu"))
  [ "$(ls "$work/w" | wc -l)" -eq "$(ls "$work/c" | wc -l)" ] || { echo "window_bench.sh: different record counts" >&2; exit 1; }
  echo "run $run: orvella.exe ${window_span[-1]} ms converting, ${window_ms[-1]} ms waited (processor ${window_cpu[-1]} ms)," \
    "orvella-convert.exe ${convert_span[-1]} ms converting, ${convert_ms[-1]} ms waited (processor ${convert_cpu[-1]} ms)," \
    "$(ls "$work/c" | wc -l) records"
done
best() { printf '%s\n' "$@" | sort -n | head -n1; }
w=$(best "${window_ms[@]}")
c=$(best "${convert_ms[@]}")
ratio() { awk "BEGIN { printf \"%.2f\", $1 / $2 }"; }
ws=$(best "${window_span[@]}")
cs=$(best "${convert_span[@]}")
echo "converting, best of $runs on $size: orvella.exe $ws ms, orvella-convert.exe $cs ms, ratio $(ratio "$ws" "$cs")"
echo "as a user waits, best of $runs: orvella.exe $w ms, orvella-convert.exe $c ms, ratio $(ratio "$w" "$c")"
wc=$(best "${window_cpu[@]}")
cc=$(best "${convert_cpu[@]}")
echo "processor time, best of $runs: orvella.exe $wc ms, orvella-convert.exe $cc ms, ratio $(ratio "$wc" "$cc")"
