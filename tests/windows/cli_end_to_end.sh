#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# orvane-cli.exe under Wine on a movie whose folder and name hold characters
# outside any ANSI code page: scan (by a relative and by a Windows drive
# path), import a JPEG, history, undo back to the very bytes it started from.
# With a Linux orvane-cli as second argument, the import must also write the
# same bytes as it does.
#   bash tests/windows/cli_end_to_end.sh BIN_DIR [LINUX_ORVANE_CLI]
set -euo pipefail
BIN=$(cd "$1" && pwd)
LINUX_CLI="${2:-}"
[[ -z $LINUX_CLI ]] || LINUX_CLI=$(realpath "$LINUX_CLI")
source "$(dirname "$0")/../../scripts/wine-env.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
folder="Szene ä"
movie="$folder/Filmé Σκηνή 映画.3mm"
picture="$folder/Bild é.jpg"
mkdir "$folder"
cp "$BIN/demo.3mm" "$movie"
cp "$movie" original.3mm
/usr/bin/convert -size 400x300 gradient:orange-navy -quality 90 "$picture"

cli() { "$WINE" "$BIN/orvane-cli.exe" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# Results on standard output, the activity log on standard error.
cli scan "$movie" > scan.txt 2> scan.log || fail "scan exited $?"
grep -q "^Scanner:Done" scan.log || fail "scan did not finish: $(tail -3 scan.log)"
windows_path=$("$WINE" winepath -w "$work/$movie" | tr -d '\r')
cli scan "$windows_path" > scan2.txt 2> /dev/null || fail "scan by drive path $windows_path exited $?"
cmp -s scan.txt scan2.txt || fail "the scan by drive path differs"

cli import "$movie" 3 "$picture" > import.txt 2>&1 || fail "import exited $?: $(tail -3 import.txt)"
cmp -s "$movie" original.3mm && fail "import left the movie unchanged"
if [[ -n $LINUX_CLI ]]; then
  cp original.3mm linux.3mm
  "$LINUX_CLI" import -q linux.3mm 3 "$picture" > /dev/null || fail "the Linux import failed"
  cmp "$movie" linux.3mm || fail "the Windows import wrote other bytes than the Linux one"
fi

cli history "$movie" > history.txt || fail "history exited $?"
grep -q "scene preview 3" history.txt || fail "history does not tell the import: $(cat history.txt)"
cli undo "$movie" > undo.txt 2>&1 || fail "undo exited $?"
cmp "$movie" original.3mm || fail "undo did not give the movie back byte for byte"
echo "orvane-cli.exe under Wine: scan, import, history and undo on '$movie' passed"
