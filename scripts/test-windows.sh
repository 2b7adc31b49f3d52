#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build, tested under Wine in a fresh prefix: builds the static
# Qt once (kept in the user's cache) and everything for Windows with warnings
# as errors, runs the logic tests through Wine, orvane-cli.exe end to end on
# a path outside the ANSI code page, orvane.exe on a virtual X server, then
# makes the zip and the installer and installs and uninstalls it. Exits
# non-zero at the first failure. Times of each step go to standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
step() { echo "== $* ($(date +%T))" >&2; }

export WINEPREFIX="$PWD/build/windows/wine"
rm -rf "$WINEPREFIX"  # fresh every run
step "build (static Qt reused when cached)"
bash scripts/setup.sh windows
source scripts/wine-env.sh

step "logic tests under Wine"
ctest --preset windows

step "orvane-cli.exe end to end"
linux_cli=()
[[ -x build/ci/bin/orvane-cli ]] && linux_cli=(build/ci/bin/orvane-cli)
bash tests/windows/cli_end_to_end.sh build/windows/bin "${linux_cli[@]}"

step "orvane.exe on a virtual X server"
bash tests/windows/window_under_wine.sh build/windows/bin build/windows/orvane-window-wine.png

step "packages"
bash scripts/package-windows.sh
bash tests/windows/installer.sh build/windows/orvane-*-windows-x64-installer.exe
step "done"
