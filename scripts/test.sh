#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the same suite under AddressSanitizer
# and UBSan, the Windows build's tests under Wine, a short run of each fuzz target when clang is
# present, and the Debian package's checks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 300
bash scripts/sanitize.sh
bash scripts/windows-tests.sh
bash scripts/fuzz.sh "${ORVELLA_FUZZ_SECONDS:-20}"
bash scripts/package-tests.sh
