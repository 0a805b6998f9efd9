#!/usr/bin/env bash
# Renders icon_source.svg into the program's two icons, one image each with
# 32 bits per pixel (alpha included):
#   make_icons.sh OUTPUT_DIR [IMAGEMAGICK]
#     -> OUTPUT_DIR/icon_large.ico (128 x 128), OUTPUT_DIR/icon_small.ico (48 x 48)
# IMAGEMAGICK is ImageMagick's program (magick, or convert of version 6);
# without it, magick or convert from the PATH.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: make_icons.sh OUTPUT_DIR [IMAGEMAGICK]}
magick=${2:-$(command -v magick || command -v convert)}
mkdir -p "$out"

# ImageMagick hands SVG to a delegate (rsvg-convert on Debian); without one it
# fails with a puzzling message about a temporary file.
if ! "$magick" -background none "$here/icon_source.svg" -resize 1x1 "PNG:$out/svg_reader_check.png" 2>/dev/null; then
  echo "make_icons.sh: $magick cannot read SVG; install the Debian package librsvg2-bin" >&2
  exit 1
fi
rm -f "$out/svg_reader_check.png"

render() {  # size file
  # An icon entry below 256 pixels is stored as a bitmap; BMP3 with an alpha
  # channel keeps it at 32 bits per pixel.
  "$magick" -background none -density 96 "$here/icon_source.svg" \
          -resize "$1x$1" -alpha on -define bmp:format=bmp3 -define icon:format=bmp \
          "ICO:$out/$2.tmp"
  mv "$out/$2.tmp" "$out/$2"
}

render 128 icon_large.ico
render 48 icon_small.ico
