#!/usr/bin/env bash
# Makes the hicolor icon sizes the wizard has no picture of from its 128-pixel picture.
# Needs ImageMagick (Debian package imagemagick); the results are committed.
set -euo pipefail
cd "$(dirname "$0")"
source_picture=../../src/app/resources/tavorin-128.png
for size in 16 22 24 48 64; do
  mkdir -p "${size}x${size}"
  /usr/bin/convert "$source_picture" -filter Lanczos -resize "${size}x${size}" -strip \
    "PNG32:${size}x${size}/tavorin-wizard.png"
done
