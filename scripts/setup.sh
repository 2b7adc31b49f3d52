#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs whatever Debian/Ubuntu packages Orvane needs to build, run and test,
# then configures and builds it with the given CMake preset (default: default).
set -euo pipefail
cd "$(dirname "$0")/.."

PRESET="${1:-default}"
PACKAGES=(cmake make g++ qt6-base-dev libgl-dev qt6-image-formats-plugins xvfb xauth
          libgtest-dev libgmock-dev libbenchmark-dev desktop-file-utils libcli11-dev
          qt6-svg-dev lintian appstream
          pkg-config libjpeg-dev libspng-dev libwebp-dev)
# The Windows cross-compile needs only the MinGW-w64 compiler and CLI11's headers.
if [[ $PRESET == mingw ]]; then PACKAGES=(cmake make g++-mingw-w64-x86-64 libcli11-dev); fi

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=()
  if [[ $(id -u) -ne 0 ]]; then SUDO=(sudo); fi
  "${SUDO[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset "$PRESET"
cmake --build --preset "$PRESET"
