# Sourced by the benchmark scripts.
# median: the median of the numbers on standard input, one a line (the
# lower of the two middle ones for an even count).
median() {
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
