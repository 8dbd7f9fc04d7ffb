#!/usr/bin/env bash
# Makes src/resources/orvella.ico, the icon of the Windows executables and of their window, from
# data/icons/orvella.svg, the window's picture: 32-bit colour with alpha at each size Explorer, the
# title bar and the task bar ask for, each rendered from the drawing rather than scaled from
# another size. Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
source=data/icons/orvella.svg
out=src/resources/orvella.ico
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pngs=()
for size in 16 24 32 48 256; do
  rsvg-convert -w "$size" -h "$size" "$source" -o "$work/$size.png"
  pngs+=("$work/$size.png")
done
# RGBA at every size, the large one stored as PNG too: some Windows versions read no grey PNG there.
convert "${pngs[@]/#/PNG32:}" -define png:color-type=6 -define png:bit-depth=8 "$out"
identify "$out"
