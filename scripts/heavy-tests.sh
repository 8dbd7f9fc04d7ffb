#!/usr/bin/env bash
# The inputs too big for every test run: a single 200 MB line and a sparse file past 4 GB, through
# orvella-convert. Needs about 6 GB of free disk in the temporary folder and a few minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORVELLA_BUILD_DIR:-build}
bash scripts/build.sh
ORVELLA_HEAVY_TESTS=1 ctest --test-dir "$dir" --output-on-failure --verbose -R '^HeavyInput\.' --timeout 1800
