#!/bin/sh
# Renders orvan-servo.svg into the PNG sizes of the hicolor theme (SIZExSIZE/orvan-servo.png).
# The PNGs are kept in the repository so a build needs no SVG renderer; run this again after
# changing the SVG (needs rsvg-convert from librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    mkdir -p "${size}x${size}"
    rsvg-convert -w "$size" -h "$size" orvan-servo.svg -o "${size}x${size}/orvan-servo.png"
done
