#!/usr/bin/env bash
# Renders the PNG icons from the one drawn icon, data/icons/io.github.kelvarin.Kelvarin.svg, with
# rsvg-convert (Debian package librsvg2-bin). Run it after editing the SVG and commit the PNGs.
#   scripts/make-icons.sh [DIR]   writes the PNGs into DIR (default data/icons)
set -euo pipefail
cd "$(dirname "$0")/.."

id=io.github.kelvarin.Kelvarin
out=${1:-data/icons}
for size in 48 128 256; do
  rsvg-convert --width "$size" --height "$size" "data/icons/$id.svg" --output "$out/$id-$size.png"
done
