# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the Windows scripts: Wine quiet, in a prefix of the build's own
# (created on first use, about 20 s), without the offers to install Mono and
# Gecko, which nothing here needs.
export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/windows/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
WINE=/usr/lib/wine/wine64
mkdir -p "$(dirname "$WINEPREFIX")"
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  "$WINE" wineboot --init >/dev/null 2>&1
  /usr/lib/wine/wineserver64 -w
fi
