#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Orvane with AddressSanitizer and UndefinedBehaviorSanitizer (and the
# standard library's bounds checks) in build/asan and runs the whole test suite
# under them; then the scan's tests, whose reader thread works beside the
# caller's, under ThreadSanitizer in build/tsan. Exits non-zero when any test
# fails or any sanitizer reports.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh asan
ctest --preset asan
cmake --preset tsan > /dev/null
cmake --build --preset tsan
ctest --preset tsan
