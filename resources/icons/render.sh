#!/usr/bin/env bash
# Renders the PNG sizes and the Windows icon from folvane.svg. Run by hand after changing the
# drawing (needs librsvg2-bin and icoutils); the build uses the committed files.
set -euo pipefail
cd "$(dirname "$0")"
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
    rsvg-convert -w "$size" -h "$size" folvane.svg -o "folvane-$size.png"
done
# The 256-pixel image is stored as PNG inside the .ico, the others as bitmaps.
icotool -c -o folvane.ico folvane-{16,24,32,48,64,128}.png -r folvane-256.png
