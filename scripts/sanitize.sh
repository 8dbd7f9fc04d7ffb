#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan (ORVELLA_SANITIZE=ON) into build-asan/ (or
# $ORVELLA_ASAN_BUILD_DIR) and runs the whole test suite there; any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORVELLA_ASAN_BUILD_DIR:-build-asan}
cmake -S . -B "$dir" -DORVELLA_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Leaks fail the run too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 600
