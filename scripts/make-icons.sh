#!/usr/bin/env bash
# Renders the PNG icons from the one drawn icon, data/icons/io.github.kelvarin.Kelvarin.svg, with
# rsvg-convert (Debian package librsvg2-bin): those of the desktop (48, 128, 256 pixels) and of the
# web page's manifest (192, 512), and the Windows programs' icon, kelvarin.ico: PNG images of 16,
# 32, 48 and 256 pixels in one file. Run it after editing the SVG and commit the
# PNGs and the icon.
#   scripts/make-icons.sh [DIR]   writes them into DIR (default data/icons)
set -euo pipefail
cd "$(dirname "$0")/.."

id=io.github.kelvarin.Kelvarin
out=${1:-data/icons}
for size in 48 128 192 256 512; do
  rsvg-convert --width "$size" --height "$size" "data/icons/$id.svg" --output "$out/$id-$size.png"
done

# The icon file: a header, one 16-byte entry a size (a width and height of 0 is 256), then the
# PNG images one after the other; numbers little-endian.
le16() { printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
sizes=(16 32 48 256)
for size in "${sizes[@]}"; do
  rsvg-convert --width "$size" --height "$size" "data/icons/$id.svg" --output "$scratch/$size.png"
done
{
  header="\\x00\\x00\\x01\\x00$(le16 ${#sizes[@]})"
  offset=$((6 + 16 * ${#sizes[@]}))
  for size in "${sizes[@]}"; do
    bytes=$(stat -c %s "$scratch/$size.png")
    side=$((size % 256))
    header+="$(printf '\\x%02x\\x%02x' "$side" "$side")\\x00\\x00$(le16 1)$(le16 32)$(le32 "$bytes")$(le32 "$offset")"
    offset=$((offset + bytes))
  done
  printf "%b" "$header"
  for size in "${sizes[@]}"; do cat "$scratch/$size.png"; done
} >"$out/kelvarin.ico"
