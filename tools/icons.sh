#!/bin/sh
# Renders the programs' icons from their SVG drawings into the PNG sizes the
# desktop and the windows use; the PNGs are committed, so a build needs no
# converter. Run again after changing an SVG (needs rsvg-convert: librsvg2-bin).
set -eu
icons="$(dirname "$0")/../packaging/icons"
for svg in "$icons"/*.svg; do
    name=$(basename "$svg" .svg)
    for size in 16 32 48 64 128 256; do
        mkdir -p "$icons/$size"
        rsvg-convert -w "$size" -h "$size" "$svg" -o "$icons/$size/$name.png"
    done
done
