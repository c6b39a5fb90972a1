#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the application icon (a dark box with a "V" over an HDMI port) with
# ImageMagick and writes the PNG sizes (installed as the hicolor icons of the
# desktop entry; 256, 48, 32 and 16 are also compiled in for the window) and the
# multi-size .ico. Run from this folder; the results are committed.
set -e
convert -size 256x256 xc:none \
    -fill '#1d2b3a' -stroke '#0b121a' -strokewidth 6 \
    -draw 'roundrectangle 12,12 243,243 36,36' \
    -fill '#27c4e8' -stroke none \
    -draw 'polygon 52,44 92,44 128,150 164,44 204,44 146,194 110,194' \
    -fill none -stroke '#f0f4f8' -strokewidth 8 \
    -draw 'polygon 70,206 186,206 178,226 78,226' \
    -depth 8 PNG32:Vortalex.png
for size in 128 64 48 32 16; do
    convert Vortalex.png -filter Lanczos -resize ${size}x${size} -depth 8 PNG32:Vortalex_${size}.png
done
convert Vortalex.png -define icon:auto-resize=256,48,32,16 Vortalex.ico
