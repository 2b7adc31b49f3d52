#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-process time of converting a 4000 x 3000 JPEG to a 144 x 81 preview:
# `orvane-cli convert` against ImageMagick resizing it to 144 x 81 (crop to
# fill) and dithering it onto the same 151 colours. Prints each run and the
# medians. Usage: bench/import_speed.sh [BUILD_DIR] [RUNS]   (needs imagemagick)
set -euo pipefail
# shellcheck source=bench/timing.sh
source "$(dirname "$0")/timing.sh"
bench_setup "$@"

convert -seed 4 -size 4000x3000 plasma:fractal -quality 90 "$WORK/photo.jpg"
# The 151 picture colours as a one-row image for -remap.
head -151 "$BUILD/bin/mevrik.palette" | awk -F, '{ printf "rgb(%d,%d,%d) ", $2, $3, $4 }' > "$WORK/colours"
# shellcheck disable=SC2046
convert $(for c in $(cat "$WORK/colours"); do echo "xc:$c"; done) +append "$WORK/palette.png"

orvane() { "$CLI" convert -q --force "$WORK/photo.jpg" "$WORK/orvane.bmp" > /dev/null; }
magick() {
  convert "$WORK/photo.jpg" -resize '144x81^' -gravity center -extent 144x81 \
          -dither FloydSteinberg -remap "$WORK/palette.png" BMP3:"$WORK/magick.bmp"
}

orvane; magick  # warm-up: caches, plugins
a=(); b=()
for ((i = 0; i < RUNS; ++i)); do
  a+=("$(seconds orvane)")
  b+=("$(seconds magick)")
done
ma=$(printf '%s\n' "${a[@]}" | median)
mb=$(printf '%s\n' "${b[@]}" | median)
echo "orvane-cli convert: ${a[*]}  median ${ma} s"
echo "ImageMagick:        ${b[*]}  median ${mb} s"
echo "ratio orvane/ImageMagick: $(awk -v a="$ma" -v b="$mb" 'BEGIN { printf "%.3f", a / b }') (goal <= 0.5)"
