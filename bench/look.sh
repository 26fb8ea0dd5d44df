#!/usr/bin/env bash
# Measures kantel-cli's reading commands (header, resources, events, check)
# on a bank of 65,535 samples whose wave files exist, against cat of the
# bank in the same run: header may take 1.2 times as long, the lists of
# resources and events twice. check also opens every wave file, and has no
# goal against cat (bench/check.sh gives it one of a second).
# The commands take turns with cat, so that none gets the quieter moments of
# the machine; each figure is the median.
#
#   bench/look.sh [BUILD_DIR] [WORK_DIR] [RUNS]
#
# Prints its rows of bench/run's table itself ("row: ..." lines).
set -euo pipefail

build=${1:-build-release}
work=${2:-/tmp/kantel-look-bench}
runs=${3:-9}
cli=$build/src/cli/kantel-cli
gen=$build/bench/kantel-bench-bank
for tool in "$cli" "$gen"; do
    [ -x "$tool" ] || { echo "missing $tool (build with: cmake --build $build)" >&2; exit 2; }
done

rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
bank=$work/Bnk_0.bnm
"$gen" "$bank" 65535 64 >/dev/null
"$cli" extract "$bank" >/dev/null

# millis COMMAND...: how long it took, in milliseconds. check exits 1 when
# it finds something, which is no failure of the benchmark.
millis() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || [ $? -eq 1 ] || { echo "failed: $*" >&2; exit 1; }
    local end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f\n", (e - s) * 1000 }'
}

. "$(dirname "$0")/median.sh"

commands=(cat header resources events check)
declare -A times
for command in "${commands[@]}"; do
    times[$command]=""
done
cat "$bank" >/dev/null
for ((i = 0; i < runs; i++)); do
    times[cat]+="$(millis cat "$bank") "
    for command in header resources events check; do
        times[$command]+="$(millis "$cli" "$command" "$bank") "
    done
done
declare -A ms
for command in "${commands[@]}"; do
    ms[$command]=$(printf '%s\n' ${times[$command]} | median)
done
echo "median of $runs: cat ${ms[cat]} ms, header ${ms[header]} ms, resources ${ms[resources]} ms," \
    "events ${ms[events]} ms, check ${ms[check]} ms"
echo "row: kantel-cli header of 65,535 samples against cat of the bank | ${ms[header]} | ${ms[cat]} | ms | 1.2"
echo "row: kantel-cli resources of 65,535 samples against cat of the bank | ${ms[resources]} | ${ms[cat]} | ms | 2"
echo "row: kantel-cli events of 65,535 samples against cat of the bank | ${ms[events]} | ${ms[cat]} | ms | 2"
echo "row: kantel-cli check of 65,535 samples against cat of the bank | ${ms[check]} | ${ms[cat]} | ms | -"
