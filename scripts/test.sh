#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the Windows build's tests under Wine
# and the Debian package's checks. The heavy checks have scripts of their own: scripts/sanitize.sh
# and scripts/fuzz.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 300
bash scripts/windows-tests.sh
bash scripts/package-tests.sh
