#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up what is missing, builds Orvane and starts it with the demo movie open.
# Any arguments replace the demo movie (for example a movie of your own).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh default
BIN=build/default/bin
if (($#)); then exec "$BIN/orvane" "$@"; fi
exec "$BIN/orvane" "$BIN/demo.3mm"
