#!/usr/bin/env bash
# Makes src/resources/orvella.ico, the icon of the Windows executables, from the window's icon
# (src/ui/orvella_icon.xpm) at the sizes Explorer and the task bar ask for. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
convert src/ui/orvella_icon.xpm -filter point -define icon:auto-resize=256,48,32,16 src/resources/orvella.ico
identify src/resources/orvella.ico
