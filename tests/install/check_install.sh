#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and checks the installed tree: every
# file in place, a valid desktop entry, and an installed orvane-cli that finds
# the installed palette and picture reader on its own.
set -euo pipefail
BUILD="$1"
PREFIX="$(mktemp -d)"
trap 'rm -rf "$PREFIX"' EXIT

cmake --install "$BUILD" --prefix "$PREFIX" > /dev/null

fail=0
for f in bin/orvane bin/orvane-cli share/orvane/mevrik.palette share/orvane/mevrik.gpl share/orvane/demo.3mm \
         share/applications/orvane.desktop share/mime/packages/orvane.xml \
         share/icons/hicolor/scalable/apps/orvane.svg; do
  if [[ ! -e "$PREFIX/$f" ]]; then echo "missing from the installed tree: $f"; fail=1; fi
done

desktop-file-validate "$PREFIX/share/applications/orvane.desktop" || fail=1
grep -q 'glob pattern="\*.3mm"' "$PREFIX/share/mime/packages/orvane.xml" || { echo "no *.3mm glob"; fail=1; }

# The installed command-line companion has no palette beside it: it must find
# the installed one (any complaint about the palette goes to standard error).
out="$("$PREFIX/bin/orvane-cli" scan "$PREFIX/share/orvane/demo.3mm")"
grep -q '^Scanner:Done$' <<<"$out" || { echo "installed orvane-cli cannot scan"; fail=1; }
err="$("$PREFIX/bin/orvane-cli" export "$PREFIX/share/orvane/demo.3mm" 1 "$PREFIX/one.bmp" 2>&1 >/dev/null)" \
  || { echo "export failed: $err"; fail=1; }
if [[ -n "$err" ]]; then echo "installed orvane-cli did not find its palette: $err"; fail=1; fi

# It reads pictures through the installed module: an exported preview converts
# back to itself.
err="$("$PREFIX/bin/orvane-cli" convert "$PREFIX/one.bmp" "$PREFIX/again.bmp" 2>&1 >/dev/null)" \
  || { echo "installed orvane-cli cannot read pictures: $err"; fail=1; }

# The installed GIMP palette holds the 151 picture colours of the installed palette.
[[ "$(grep -c $'\tEntry ' "$PREFIX/share/orvane/mevrik.gpl")" == 151 ]] || { echo "mevrik.gpl is not 151 entries"; fail=1; }

exit $fail
