#!/usr/bin/env bash
# Builds Orvane with AddressSanitizer and UndefinedBehaviorSanitizer (and the
# standard library's bounds checks) in build/asan and runs the whole test suite
# under them; exits non-zero when any test fails or any sanitizer reports.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh asan
ctest --preset asan
