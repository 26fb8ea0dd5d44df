#!/usr/bin/env bash
# Measures kantel-cli check on a bank of 65,535 samples (the most a bank can
# index) whose wave files are all there, with the three other banks of its
# folder, against kantel-cli resources of the same bank (which reads the bank
# and its names file and prints one line a resource). The check must take
# under one second.
#
#   bench/check.sh [BUILD_DIR] [WORK_DIR] [RUNS]
#
# BUILD_DIR is a release build (default build-release); WORK_DIR (default
# /tmp/kantel-check-bench) needs about 150 MiB. Figures are medians of RUNS
# runs (default 9) in milliseconds, with the files in the page cache. Prints
# "result check CHECK_MS RESOURCES_MS".
set -euo pipefail

build=${1:-build-release}
work=${2:-/tmp/kantel-check-bench}
runs=${3:-9}

cli=$build/src/cli/kantel-cli
gen=$build/bench/kantel-bench-bank
for tool in "$cli" "$gen"; do
    [ -x "$tool" ] || { echo "missing $tool (build with: cmake --build $build)" >&2; exit 2; }
done

rm -rf "$work"
mkdir -p "$work"
bank=$work/Bnk_0.bnm
# The events of bank 0 target all four banks, so each other bank is read.
"$gen" "$bank" 65535 64 spread >/dev/null
for n in 1 2 3; do
    "$gen" "$work/Bnk_$n.bnm" 100 1 "bank=$n" >/dev/null
done
# Every sample's wave file is there, so the check reads each one's header.
"$cli" extract "$bank" >/dev/null
if ! "$cli" check "$bank" >"$work/findings.txt"; then
    echo "the benchmark's bank should have no findings:" >&2
    head -5 "$work/findings.txt" >&2
    exit 1
fi

# median_ms COMMAND...: the median wall time of RUNS runs, in milliseconds.
median_ms() {
    local times=() start end
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n |
        awk '{ t[NR] = $1 } END { printf "%.1f", t[int((NR + 1) / 2)] / 1000 }'
}

check=$(median_ms "$cli" check "$bank")
resources=$(median_ms "$cli" resources "$bank")
echo "result check $check $resources"
