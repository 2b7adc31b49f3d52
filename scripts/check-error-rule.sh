#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The rule for telling the user (docs/architecture.md, "Telling the user"),
# checked on the sources: no message box below the roads, no throw outside
# the command line's parser, no (void) discard of a result, no bookkeeping of
# whether a box was shown. Prints every line that breaks it and fails.
# Usage: check-error-rule.sh [SOURCE_DIR]   (default: the repository's src/)
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
cd "$src"
broken=0

# Code only: whole-line comments dropped, trailing comments cut off.
code() {
  grep -rnE --include='*.h' --include='*.cpp' "$1" "${@:2}" |
    sed -E 's#^([^:]+:[0-9]+:)(.*)$#\1\2#' |
    grep -vE '^[^:]+:[0-9]+:[[:space:]]*//' |
    awk -F: -v re="$1" '{ line = $0; sub(/^[^:]+:[0-9]+:/, "", line); sub(/\/\/.*$/, "", line); if (line ~ re) print }' || true
}

report() {
  local what="$1" found="$2"
  if [ -n "$found" ]; then
    echo "check-error-rule: $what:" >&2
    echo "$found" >&2
    broken=1
  fi
}

report "a message box opened below the roads (the logic of these layers returns its Error)" \
  "$(code 'messageBox[[:space:]]*\(' shell previews display convert qtimage | grep -v '^shell/host\.h:' || true)"
report "a throw outside cli/ (the logic returns its Error)" \
  "$(code '(^|[^A-Za-z_])(throw|rethrow_exception)([^A-Za-z_]|$)' --exclude-dir=cli .)"
report "a (void) discard (steer on it, return it, or settledLater() with the reason)" \
  "$(code '\(void\)[[:space:]]*[A-Za-z_:(*]' .)"
report "bookkeeping of whether the user was told (return Told instead)" \
  "$(code '(boxShown|(^|[^A-Za-z_])told([^A-Za-z_(]|$))' .)"

exit "$broken"
