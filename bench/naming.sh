#!/usr/bin/env bash
# Opening a bank whose 65,535 samples name no wave file, so that a name is
# chosen for each, against the same bank with names: choosing must not cost
# time growing with the square of the number of samples.
#   bench/naming.sh BUILD_DIR OUT_FILE [RUNS]
#
# Both extract their 65,535 wave files. What is measured is the choosing,
# not the disk: the banks are extracted in a folder in memory (/dev/shm)
# when there is one with room, since the 131,070 small files the runs write
# on a disk make the figure follow its write-back instead (seen here: 0.79
# to 1.97 between runs of the same build). The runs take turns, each on a
# fresh copy of its bank; each figure is the median.
set -euo pipefail
build=$1
out=$2
runs=${3:-3}
base=
if [ -d /dev/shm ] && [ -w /dev/shm ] &&
    [ "$(df --output=avail -k /dev/shm | tail -1)" -gt $((512 * 1024)) ]; then
    base=/dev/shm
fi
work=$(mktemp -d ${base:+-p "$base"})
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/named" "$work/unnamed"
"$build/bench/kantel-bench-bank" "$work/named/Bnk_1.bnm" 65535 64 >/dev/null
"$build/bench/kantel-bench-bank" "$work/unnamed/Bnk_1.bnm" 65535 64 unnamed >/dev/null
# seconds NAME: extracts a fresh copy of bank NAME and prints the seconds.
seconds() {
    local start end
    rm -rf "$work/run"
    cp -r "$work/$1" "$work/run"
    start=$(date +%s.%N)
    "$build/src/cli/kantel-cli" extract "$work/run/Bnk_1.bnm" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f\n", b - a }'
}
. "$(dirname "$0")/median.sh"
unnamed=()
named=()
for ((i = 0; i < runs; i++)); do
    unnamed+=("$(seconds unnamed)")
    named+=("$(seconds named)")
done
echo "result naming $(printf '%s\n' "${unnamed[@]}" | median) $(printf '%s\n' "${named[@]}" | median)" >"$out"
