#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# orvane's own command line: --help and --version answer without a display and
# exit 0; a usage mistake is one line and a hint on standard error, exit 2,
# and never opens the window.
set -uo pipefail
ORVANE="$1"
fail=0
check() {  # name, expected code, expected stdout pattern, expected stderr line count, args...
  local name="$1" code="$2" pattern="$3" lines="$4"
  shift 4
  local out err rc
  out="$(timeout 30 env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM="${PLATFORM:-}" "$ORVANE" "$@" 2>/tmp/orvane-cl-err.$$)"
  rc=$?
  err="$(grep -v '^QStandardPaths' /tmp/orvane-cl-err.$$)"
  rm -f /tmp/orvane-cl-err.$$
  if [[ $rc -ne $code ]]; then echo "$name: exit $rc, expected $code"; fail=1; fi
  if ! grep -qE "$pattern" <<<"$out"; then echo "$name: standard output was: $out"; fail=1; fi
  if [[ $(grep -c . <<<"$err") -ne $lines ]]; then echo "$name: standard error was: $err"; fail=1; fi
}
check version 0 '^orvane [0-9]+\.[0-9]+$' 0 --version
check short-version 0 '^orvane [0-9]+\.[0-9]+$' 0 -V
check help 0 '^Usage: orvane \[options\] \[movie\]$' 0 --help
PLATFORM=offscreen check unknown-option 2 '^$' 2 --bogus
PLATFORM=offscreen check two-movies 2 '^$' 2 a.3mm b.3mm
PLATFORM=offscreen check toolkit-option-then-help 0 '^Usage: orvane' 0 -platform offscreen --help
exit $fail
