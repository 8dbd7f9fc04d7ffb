#!/usr/bin/env bash
# Builds with AddressSanitizer and UBSan (ORVELLA_SANITIZE=ON) and runs the tests there; any report
# fails the run.
#   scripts/sanitize.sh          the toolkit-free layers (core, convert, the command line, the window's
#                                behaviour on fake controls) and their tests, in build-asan/
#   scripts/sanitize.sh --all    everything, the Qt face and its tests too, in build-asan-all/
# $ORVELLA_ASAN_BUILD_DIR chooses the folder; further arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
ui=OFF
dir=${ORVELLA_ASAN_BUILD_DIR:-build-asan}
if [ "${1:-}" = --all ]; then
  ui=ON
  dir=${ORVELLA_ASAN_BUILD_DIR:-build-asan-all}
  shift
fi
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$here}
fi
# -O1 and line tables only: the reports keep their file and line, and the build takes a third of
# the time -O2 -g takes.
cmake -S . -B "$dir" -DORVELLA_SANITIZE=ON -DORVELLA_BUILD_UI=$ui -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Leaks fail the run too. What the system's own libraries do under a Qt window (the GTK theme's
# caches, the X keyboard library's strings) is left out by the suppressions, which name them.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:suppressions=$here/scripts/asan-system.supp}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/scripts/lsan-system.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 600
