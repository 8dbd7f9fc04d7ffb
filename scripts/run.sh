#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvella.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [ -x build/bin/orvella ]; then
  exec build/bin/orvella "$@"
fi
echo "Built build/bin/orvella-convert; the window (build/bin/orvella) is not part of this build yet."
