#!/usr/bin/env bash
# Measures kantel-cli diff of two banks of 65,535 banked samples (the most a
# bank can index) that are equal, so every record and every sound's bytes are
# compared to the end, against cat of both banks, which reads the same bytes
# and compares nothing. The diff should take at most twice as long.
#
#   bench/diff.sh [BUILD_DIR] [WORK_DIR] [RUNS] [MEGABYTES]
#
# BUILD_DIR is a release build (default build-release); WORK_DIR (default
# /tmp/kantel-diff-bench) needs twice MEGABYTES (default 64) MiB. Figures are
# medians of RUNS runs (default 9) in milliseconds, with the files in the
# page cache. Prints "result diff DIFF_MS CAT_MS".
set -euo pipefail

build=${1:-build-release}
work=${2:-/tmp/kantel-diff-bench}
runs=${3:-9}
megabytes=${4:-64}

cli=$build/src/cli/kantel-cli
gen=$build/bench/kantel-bench-bank
for tool in "$cli" "$gen"; do
    [ -x "$tool" ] || { echo "missing $tool (build with: cmake --build $build)" >&2; exit 2; }
done

rm -rf "$work"
mkdir -p "$work/a" "$work/b"
"$gen" "$work/a/Bnk_0.bnm" 65535 "$megabytes" >/dev/null
cp "$work/a/Bnk_0.bnm" "$work/a/Bnk_0.bns" "$work/b/"
if ! "$cli" diff "$work/a/Bnk_0.bnm" "$work/b/Bnk_0.bnm" >"$work/differences.txt"; then
    echo "the benchmark's two banks should be equal:" >&2
    head -5 "$work/differences.txt" >&2
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

diff=$(median_ms "$cli" diff "$work/a/Bnk_0.bnm" "$work/b/Bnk_0.bnm")
cat=$(median_ms cat "$work/a/Bnk_0.bnm" "$work/b/Bnk_0.bnm")
echo "result diff $diff $cat"
