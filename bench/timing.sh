# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the whole-process benchmark scripts (sourced, not run).
# bench_setup [BUILD_DIR] [RUNS]: sets BUILD, RUNS, CLI (orvane-cli there) and
# WORK, a temporary folder removed when the script exits.
bench_setup() {
  BUILD="${1:-build/default}"
  RUNS="${2:-9}"
  CLI="$BUILD/bin/orvane-cli"
  WORK="$(mktemp -d)"
  trap 'rm -rf "$WORK"' EXIT
}
# seconds CMD...: runs CMD and prints how long it took, in seconds.
seconds() { local t0 t1; t0=$(date +%s%N); "$@"; t1=$(date +%s%N); awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", (b - a) / 1e9 }'; }
# median: the median of the numbers on standard input, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
