#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-process time of turning photos of several sizes and formats into a
# 144 x 81 preview: `orvane-cli convert` (decode, crop to fill, dither onto the
# 151 picture colours) side by side with Pillow (draft, fit, quantize onto the
# same colours) and vipsthumbnail (decode and shrink only), each the median of
# RUNS. Prints Orvane's time over the faster of the two per picture, with the
# goal. Every picture is made from one generated photo. Usage:
#   bench/import_speed.sh [BUILD_DIR] [RUNS]
# Needs ImageMagick; Pillow (Debian's, for /usr/bin/python3) and vipsthumbnail are each skipped with a note when
# missing (bench/setup-import-bench.sh installs all three).
set -euo pipefail
# shellcheck source=bench/timing.sh
source "$(dirname "$0")/timing.sh"
bench_setup "$@"
RUNS="${2:-7}"

have_pillow=1; /usr/bin/python3 -c 'import PIL' 2> /dev/null || { have_pillow=0; echo "note: Pillow (python3-pil) not installed, skipped"; }
have_vips=1; command -v vipsthumbnail > /dev/null || { have_vips=0; echo "note: vipsthumbnail (libvips-tools) not installed, skipped"; }

# One 8000 x 6000 photo-like picture (smooth fields, fine grain), cut and scaled into the rest.
convert -seed 4 -size 2000x1500 plasma:fractal -resize 8000x6000\! -seed 5 -attenuate 0.4 +noise Gaussian \
        "$WORK/photo.ppm"
convert "$WORK/photo.ppm" -quality 90 "$WORK/jpeg-8000x6000.jpg"
convert "$WORK/photo.ppm" -resize 4000x3000\! -quality 90 "$WORK/jpeg-4000x3000.jpg"
convert "$WORK/photo.ppm" -resize 6028x3391\! -quality 90 "$WORK/jpeg-6028x3391.jpg"
convert "$WORK/jpeg-6028x3391.jpg" -crop 6024x3384+2+3 +repage -quality 90 "$WORK/jpeg-6024x3384.jpg"
convert "$WORK/photo.ppm" -resize 4096x4096\! -quality 90 -interlace Plane "$WORK/progressive-4096x4096.jpg"
convert "$WORK/photo.ppm" -resize 4000x3000\! "$WORK/png-4000x3000.png"
convert "$WORK/photo.ppm" -resize 4096x4096\! -quality 90 "$WORK/webp-4096x4096.webp"
rm "$WORK/photo.ppm"

# The 151 picture colours as a palette image for Pillow.
head -151 "$BUILD/bin/mevrik.palette" | awk -F, '{ printf "%d %d %d\n", $2, $3, $4 }' > "$WORK/colours"
cat > "$WORK/pillow.py" <<'PY'
import sys
from PIL import Image, ImageOps
colours = [int(v) for v in open(sys.argv[1]).read().split()]
palette = Image.new("P", (1, 1))
palette.putpalette(colours + colours[:3] * (256 - len(colours) // 3))
picture = Image.open(sys.argv[2])
picture.draft("RGB", (288, 162))
picture = ImageOps.fit(picture.convert("RGB"), (144, 81), method=Image.Resampling.BOX)
picture.quantize(palette=palette, dither=Image.Dither.FLOYDSTEINBERG).save(sys.argv[3])
PY

orvane() { "$CLI" convert -q --force "$1" "$WORK/orvane.bmp" > /dev/null; }
pillow() { /usr/bin/python3 "$WORK/pillow.py" "$WORK/colours" "$1" "$WORK/pillow.bmp"; }
vips() { vipsthumbnail "$1" --size 144x81 --smartcrop centre -o "$WORK/vips.png"; }

printf '%-28s %9s %9s %9s %7s %s\n' picture orvane pillow vips ratio goal
for picture in jpeg-4000x3000.jpg jpeg-8000x6000.jpg jpeg-6028x3391.jpg jpeg-6024x3384.jpg \
               progressive-4096x4096.jpg png-4000x3000.png webp-4096x4096.webp; do
  file="$WORK/$picture"
  orvane "$file"  # warm-up: caches, plugins
  ((have_pillow)) && pillow "$file"
  ((have_vips)) && vips "$file"
  a=(); b=(); c=()
  for ((i = 0; i < RUNS; ++i)); do
    a+=("$(seconds orvane "$file")")
    if ((have_pillow)); then b+=("$(seconds pillow "$file")"); fi
    if ((have_vips)); then c+=("$(seconds vips "$file")"); fi
  done
  ma=$(printf '%s\n' "${a[@]}" | median)
  mb=-; ((have_pillow)) && mb=$(printf '%s\n' "${b[@]}" | median)
  mc=-; ((have_vips)) && mc=$(printf '%s\n' "${c[@]}" | median)
  goal=1.0; [[ $picture == *.jpg ]] && goal=0.8
  ratio=$(awk -v a="$ma" -v b="$mb" -v c="$mc" 'BEGIN {
    best = (b == "-") ? c : (c == "-" || b + 0 < c + 0) ? b : c
    if (best == "-") print "-"; else printf "%.2f", a / best }')
  printf '%-28s %8.0fms %9s %9s %7s <= %s\n' "$picture" "$(awk -v a="$ma" 'BEGIN { print a * 1000 }')" \
         "$( [[ $mb == - ]] && echo - || awk -v b="$mb" 'BEGIN { printf "%.0fms", b * 1000 }')" \
         "$( [[ $mc == - ]] && echo - || awk -v c="$mc" 'BEGIN { printf "%.0fms", c * 1000 }')" "$ratio" "$goal"
done
echo "load: $(uptime | sed 's/.*load average: //')"
