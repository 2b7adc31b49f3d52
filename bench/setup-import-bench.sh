#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the picture-import benchmarks compare against: Pillow and numpy
# (import_quality.py, import_speed.sh), ImageMagick (both) and vipsthumbnail
# (import_speed.sh). None of it is needed to build, test or run Orvane.
set -euo pipefail
PACKAGES=(python3-pil python3-numpy imagemagick libvips-tools)
missing=()
for pkg in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if ((${#missing[@]})); then
  SUDO=()
  if [[ $(id -u) -ne 0 ]]; then SUDO=(sudo); fi
  "${SUDO[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
