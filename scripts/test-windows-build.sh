#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiles the logic libraries and orvane-cli for Windows with MinGW-w64
# (warnings are errors), so that the Windows branches are compiled on every
# run; exits non-zero when they do not compile.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh mingw
test -f build/mingw/bin/orvane-cli.exe
echo "Windows build: build/mingw/bin/orvane-cli.exe"
