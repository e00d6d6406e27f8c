#!/usr/bin/env bash
# Renders the checked-in PNG icons from taveloq.svg; run it after changing the drawing.
# Needs rsvg-convert (Debian package librsvg2-bin). The PNGs are checked in so that
# building and packaging need no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" taveloq.svg -o "taveloq-$size.png"
done
