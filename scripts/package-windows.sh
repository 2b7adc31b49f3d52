#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows packages: a portable zip, orvane-VERSION-windows-x64.zip (both
# programs, the palette files, the demo movie, README and licence), and an
# installer made with NSIS, orvane-VERSION-windows-x64-installer.exe, both in
# build/windows. Builds the Windows programs first when they are missing
# (scripts/setup.sh windows, which builds the static Qt once).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build/windows
missing=()
for pkg in zip nsis binutils-mingw-w64-x86-64; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if ((${#missing[@]})); then
  SUDO=()
  [[ $(id -u) -ne 0 ]] && SUDO=(sudo)
  "${SUDO[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
[[ -f $BUILD/bin/orvane.exe && -f $BUILD/bin/demo.3mm ]] || bash scripts/setup.sh windows

VERSION=$(sed -n 's/^project(Orvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
NAME=orvane-$VERSION-windows-x64
OUT=$(pwd)/$BUILD
STAGE=$OUT/package/$NAME
rm -rf "$OUT/package" "$OUT/$NAME.zip" "$OUT/$NAME-installer.exe"
mkdir -p "$STAGE"
for exe in orvane orvane-cli; do x86_64-w64-mingw32-strip -o "$STAGE/$exe.exe" "$BUILD/bin/$exe.exe"; done
cp "$BUILD/bin/mevrik.palette" "$BUILD/bin/mevrik.gpl" "$BUILD/bin/demo.3mm" "$STAGE/"
cp README.md "$STAGE/README.md"
cp LICENSE "$STAGE/LICENSE.txt"

(cd "$OUT/package" && zip -q -r -X "$OUT/$NAME.zip" "$NAME")
makensis -V2 -DVERSION="$VERSION" -DSTAGE="$STAGE" -DICON="$(pwd)/data/orvane.ico" -DOUTFILE="$OUT/$NAME-installer.exe" \
  packaging/windows/orvane.nsi
ls -l "$OUT/$NAME.zip" "$OUT/$NAME-installer.exe"
