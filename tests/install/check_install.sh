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
         share/icons/hicolor/scalable/apps/orvane.svg share/metainfo/io.github.orvane.orvane.metainfo.xml \
         share/doc/orvane/copyright share/bash-completion/completions/orvane-cli \
         share/zsh/vendor-completions/_orvane-cli share/fish/vendor_completions.d/orvane-cli.fish; do
  if [[ ! -e "$PREFIX/$f" ]]; then echo "missing from the installed tree: $f"; fail=1; fi
done

desktop-file-validate "$PREFIX/share/applications/orvane.desktop" || fail=1
grep -q 'glob pattern="\*.3mm"' "$PREFIX/share/mime/packages/orvane.xml" || { echo "no *.3mm glob"; fail=1; }
grep -q '<generic-icon name="video-x-generic"/>' "$PREFIX/share/mime/packages/orvane.xml" \
  || { echo "no generic icon for movies"; fail=1; }

# The licence: GPL-3.0-or-later in the copyright file and the AppStream data,
# which passes its validator without a single remark, pedantic ones included.
grep -qx 'License: GPL-3.0+' "$PREFIX/share/doc/orvane/copyright" || { echo "copyright names no licence"; fail=1; }
metainfo="$PREFIX/share/metainfo/io.github.orvane.orvane.metainfo.xml"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || { echo "no project_license"; fail=1; }
if command -v appstreamcli > /dev/null; then
  remarks="$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1 | grep -E '^[EWIP]: ' || true)"
  if [[ -n "$remarks" ]]; then echo "appstreamcli validate --pedantic: $remarks"; fail=1; fi
fi

# The installed command-line companion has no palette beside it: it must find
# the installed one (any complaint about the palette goes to standard error).
out="$("$PREFIX/bin/orvane-cli" scan "$PREFIX/share/orvane/demo.3mm" 2>&1)"
grep -q '^Scanner:Done$' <<<"$out" || { echo "installed orvane-cli cannot scan"; fail=1; }
err="$("$PREFIX/bin/orvane-cli" export -q "$PREFIX/share/orvane/demo.3mm" 1 "$PREFIX/one.bmp" 2>&1 >/dev/null)" \
  || { echo "export failed: $err"; fail=1; }
if [[ -n "$err" ]]; then echo "installed orvane-cli did not find its palette: $err"; fail=1; fi

# It reads pictures through the installed module: an exported preview converts
# back to itself.
err="$("$PREFIX/bin/orvane-cli" convert -q "$PREFIX/one.bmp" "$PREFIX/again.bmp" 2>&1 >/dev/null)" \
  || { echo "installed orvane-cli cannot read pictures: $err"; fail=1; }

# The installed GIMP palette holds the 151 picture colours of the installed palette.
[[ "$(grep -c $'\tEntry ' "$PREFIX/share/orvane/mevrik.gpl")" == 151 ]] || { echo "mevrik.gpl is not 151 entries"; fail=1; }

# Shell completion, from the installed files: bash completes commands and each
# command's options; zsh and fish read theirs without a syntax error.
completion="$PREFIX/share/bash-completion/completions/orvane-cli"
bash_says="$(bash -c '
  source "$1" || exit 1
  complete -p orvane-cli || exit 1
  try() { COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=(); _orvane_cli; echo "${COMPREPLY[*]}"; }
  try orvane-cli sc
  try orvane-cli re
  try orvane-cli history --j
  try orvane-cli import -q movie.3mm 3 --di' _ "$completion" 2>&1)"
expected="complete -o bashdefault -o filenames -F _orvane_cli orvane-cli
scan
replace redo
--json
--dither"
[[ "$bash_says" == "$expected" ]] || { echo "bash completion says: $bash_says"; fail=1; }
if command -v zsh > /dev/null; then
  zsh -n "$PREFIX/share/zsh/vendor-completions/_orvane-cli" || { echo "zsh completion: syntax error"; fail=1; }
fi
if command -v fish > /dev/null; then
  fish --no-execute "$PREFIX/share/fish/vendor_completions.d/orvane-cli.fish" \
    || { echo "fish completion: syntax error"; fail=1; }
fi

exit $fail
