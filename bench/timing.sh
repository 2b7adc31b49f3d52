# Shared by the whole-process benchmark scripts (sourced, not run).
# seconds CMD...: runs CMD and prints how long it took, in seconds.
seconds() { local t0 t1; t0=$(date +%s%N); "$@"; t1=$(date +%s%N); awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", (b - a) / 1e9 }'; }
# median: the median of the numbers on standard input, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
