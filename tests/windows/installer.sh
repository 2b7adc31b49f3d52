#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The NSIS installer under Wine, silently (/S): the programs, the palette and
# the demo movie in %LOCALAPPDATA%\Programs\Orvane, the Start-menu entries,
# "Open with Orvane" for .3mm files; the installed orvane-cli.exe runs; the
# uninstaller takes all of it away again.
#   bash tests/windows/installer.sh orvane-VERSION-windows-x64-installer.exe
set -euo pipefail
INSTALLER=$(realpath "$1")
source "$(dirname "$0")/../../scripts/wine-env.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$WINE" "$INSTALLER" /S || fail "the installer exited $?"
unix() { "$WINE" winepath -u "$1" | tr -d '\r'; }
local_appdata=$("$WINE" cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')
appdata=$("$WINE" cmd /c 'echo %APPDATA%' | tr -d '\r')
dir=$(unix "$local_appdata\Programs\Orvane")
for f in orvane.exe orvane-cli.exe mevrik.palette mevrik.gpl demo.3mm README.md LICENSE.txt uninstall.exe; do
  [[ -f $dir/$f ]] || fail "$f was not installed in $dir"
done
menu=$(unix "$appdata\Microsoft\Windows\Start Menu\Programs\Orvane")
[[ -f $menu/Orvane.lnk ]] || fail "no Start-menu entry"
"$WINE" reg query 'HKCU\Software\Classes\SystemFileAssociations\.3mm\shell\Orvane\command' | grep -q 'orvane.exe" "%1"' ||
  fail "no Open with Orvane for .3mm files"
# Read whole before grep looks: grep -q stops reading at its match, and a
# writer that finds its reader gone reports that as a failure.
scan=$("$WINE" "$dir/orvane-cli.exe" scan "$("$WINE" winepath -w "$dir/demo.3mm" | tr -d '\r')" 2>&1) ||
  fail "the installed orvane-cli.exe exited $? scanning the installed demo movie"
grep -q '^Scanner:Done' <<<"$scan" || fail "the installed orvane-cli.exe does not scan the installed demo movie"

"$WINE" "$dir/uninstall.exe" /S "_?=$("$WINE" winepath -w "$dir" | tr -d '\r')" || fail "the uninstaller exited $?"
rm -f "$dir/uninstall.exe"  # left by _?=, which makes the uninstaller run in place and wait
[[ ! -e $dir ]] || rmdir "$dir" 2>/dev/null || fail "the uninstaller left $(ls "$dir")"
[[ ! -e $menu ]] || fail "the uninstaller left the Start-menu entries"
if "$WINE" reg query 'HKCU\Software\Classes\SystemFileAssociations\.3mm\shell\Orvane' > /dev/null 2>&1; then
  fail "the uninstaller left Open with Orvane"
fi
echo "Installer under Wine: installed, ran, uninstalled"
