#!/usr/bin/env bash
# Renders the PNG icons from data/icons/orvella.svg, the one source of the picture, at the usual
# hicolor sizes into data/icons/hicolor/. The PNGs are kept in the repository (the window embeds
# them), so only a change of the SVG needs this. Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
source=data/icons/orvella.svg
for size in 16 22 24 32 48 64 128 256; do
  dir=data/icons/hicolor/${size}x${size}/apps
  mkdir -p "$dir"
  rsvg-convert -w "$size" -h "$size" "$source" -o "$dir/orvella.png"
done
echo "icons written under data/icons/hicolor/"
