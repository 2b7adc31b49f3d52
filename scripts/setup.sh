#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs whatever Debian/Ubuntu packages Orvane needs to build, run and test,
# then configures and builds it with the given CMake preset (default: default).
set -euo pipefail
cd "$(dirname "$0")/.."

PRESET="${1:-default}"
# zsh and fish check the syntax of the completion scripts; ImageMagick and
# xdotool make the README's screenshots of the window under Xvfb.
PACKAGES=(cmake make g++ qt6-base-dev libgl-dev qt6-image-formats-plugins xvfb xauth
          libgtest-dev libgmock-dev libbenchmark-dev desktop-file-utils libcli11-dev
          qt6-svg-dev lintian appstream zsh fish imagemagick xdotool
          pkg-config libjpeg-dev libspng-dev libwebp-dev)
# The Windows cross-compile needs only the MinGW-w64 compiler and CLI11's headers.
if [[ $PRESET == mingw ]]; then PACKAGES=(cmake make g++-mingw-w64-x86-64 libcli11-dev); fi
# The whole Windows build also needs Qt's host tools (moc, rcc, uic) for the
# static Qt that scripts/build-qt-windows.sh builds, GoogleTest's sources,
# Wine to run what it builds, a virtual X server and xdotool to drive the
# window, ImageMagick's import for screenshots, and zip and NSIS to package it.
if [[ $PRESET == windows ]]; then
  PACKAGES=(cmake make ninja-build g++-mingw-w64-x86-64 libcli11-dev googletest qt6-base-dev qt6-base-dev-tools
            wine64 xvfb xauth xdotool imagemagick zip nsis python3)
fi

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

if [[ $PRESET == windows ]]; then
  # The static Qt for MinGW-w64, built once into the user's cache.
  ORVANE_QT_WINDOWS=$(bash scripts/build-qt-windows.sh | tail -1)
  export ORVANE_QT_WINDOWS
  # The build runs some of what it builds (the demo movie) through Wine, in a
  # prefix of its own.
  source scripts/wine-env.sh
fi

cmake --preset "$PRESET"
cmake --build --preset "$PRESET"
