#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages against the programs: every option and command the
# programs' own help lists is described on the page, and man finds nothing
# to warn about in either page.
set -uo pipefail
BIN="$1"      # the folder holding orvane-cli (and orvane)
PAGES="$2"    # the folder holding the built pages (orvane-cli.1, orvane.1)
fail=0

# Options (-q, --json ...) in a help text, one a line.
options() { grep -oE '(^|[ ,])--?[A-Za-z][A-Za-z-]*' | sed 's/^[ ,]//' | sort -u; }

check_page() {  # page, help text
  local page="$1" help="$2"
  for option in $(options <<<"$help"); do
    grep -qF -- "${option//-/\\-}" "$page" || { echo "$(basename "$page"): $option is not described"; fail=1; }
  done
  local warnings
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)"
  if [[ -n "$warnings" ]]; then echo "$(basename "$page"): $warnings"; fail=1; fi
}

help="$("$BIN/orvane-cli" --help-all)"
check_page "$PAGES/orvane-cli.1" "$help"
# The commands: --help-all puts each name alone on a line, from the first
# column; the page describes each as .BI name " ARGUMENTS".
for command in $(grep -E '^[a-z]+$' <<<"$help"); do
  grep -qE "^\.BI $command \"" "$PAGES/orvane-cli.1" || { echo "orvane-cli.1: command $command is not described"; fail=1; }
done

if [[ -x "$BIN/orvane" ]]; then
  check_page "$PAGES/orvane.1" "$(env -u DISPLAY "$BIN/orvane" --help)"
fi
exit $fail
