#!/usr/bin/env bash
# Measures the editor's list windows on two generated banks: 100 resources
# and 65,535 resources (the most a bank can index). Refreshing the long
# list must cost at most 1.5 times refreshing the short one, and opening the
# long bank into its first window at most twice `cat` of the file and its
# names file with `ls -f` of its folder.
#
#   bench/gui-bench.sh [BUILD_DIR] [WORK_DIR] [MEGABYTES] [RUNS]
#
# BUILD_DIR is a release build (default build-release); the large bank holds
# MEGABYTES MiB of banked samples (default 64, about 1 KiB a sample) and is
# written with its names file into WORK_DIR (default /tmp/kantel-gui-bench).
# Figures are medians of RUNS runs (default 15), with the files in the page
# cache. The first open of each bank writes its wave files and is reported
# on its own; the timed opens find them.
set -euo pipefail

build=${1:-build-release}
work=${2:-/tmp/kantel-gui-bench}
megabytes=${3:-64}
runs=${4:-15}

gen=$build/bench/kantel-bench-bank
bench=$build/bench/kantel-gui-bench
for tool in "$gen" "$bench"; do
    [ -x "$tool" ] || { echo "missing $tool (build with: cmake --build $build)" >&2; exit 2; }
done

rm -rf "$work"
mkdir -p "$work/small" "$work/large"
"$gen" "$work/small/Bnk_0.bnm" 100 1
"$gen" "$work/large/Bnk_0.bnm" 65535 "$megabytes"
sync

QT_QPA_PLATFORM=offscreen "$bench" "$work/small/Bnk_0.bnm" "$work/large/Bnk_0.bnm" "$runs"
