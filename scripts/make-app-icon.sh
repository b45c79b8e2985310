#!/usr/bin/env bash
# Renders the program icon's PNG sizes from its SVG (needs rsvg-convert from librsvg2-bin).
# The PNGs are committed; run this after changing shell/resources/lexmora-ct.svg.
set -euo pipefail
cd "$(dirname "$0")/../shell/resources"
for size in 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" lexmora-ct.svg -o "lexmora-ct-$size.png"
done
# Windows: the .ico of LexmoraCT.exe and its installer.
python3 ../../scripts/make-windows-icon.py
