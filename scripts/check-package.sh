#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package (with the given CMake preset, default: ci) and
# checks it with lintian. Any error or warning fails; notes of lesser levels
# are shown but do not.
set -euo pipefail
cd "$(dirname "$0")/.."
PRESET="${1:-ci}"
bash scripts/setup.sh "$PRESET"
BUILD="build/$PRESET"
rm -f "$BUILD"/orvane_*.deb
(cd "$BUILD" && cpack -G DEB > cpack.log) || { cat "$BUILD/cpack.log"; exit 1; }
DEB="$(ls "$BUILD"/orvane_*.deb)"
echo "Checking $DEB with $(lintian --version)"
# lintian says it prefers not to run as root; that is all it says about it.
lintian --display-info --tag-display-limit 0 --fail-on error,warning "$DEB" 2> >(grep -v 'root privileges' >&2)
echo "lintian: no errors, no warnings"
