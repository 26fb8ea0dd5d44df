#!/usr/bin/env bash
# Measures the editor's start to its first window against a Qt program that
# shows one empty window. Both end the moment their first window is exposed,
# so each time is process start, libraries, application set-up and the first
# window. The runs take turns; each figure is the median.
#
#   bench/start-bench.sh [BUILD_DIR] [RUNS]
#
# Runs on an X server of its own under xvfb-run when there is one, offscreen
# otherwise. The editor starts with settings of its own in a temporary home.
set -euo pipefail

build=${1:-build-release}
runs=${2:-21}
editor=$(realpath "$build/bench/kantel-start-probe")
minimal=$(realpath "$build/bench/kantel-minimal-window")
for tool in "$editor" "$minimal"; do
    [ -x "$tool" ] || { echo "missing $tool (build with: cmake --build $build)" >&2; exit 2; }
done

if [ -z "${KANTEL_START_BENCH_INNER:-}" ]; then
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
    mkdir -m 700 "$home/run"
    export HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
    export KANTEL_INSTANCE_KEY=none KANTEL_START_BENCH_INNER=1
    if command -v xvfb-run >/dev/null; then
        echo "platform: xcb on Xvfb"
        xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
    else
        echo "platform: offscreen"
        QT_QPA_PLATFORM=offscreen "$0" "$build" "$runs"
    fi
    exit
fi

# millis COMMAND: runs it and prints how long it took in milliseconds.
millis() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    local end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f\n", (e - s) * 1000 }'
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# Once each to have the libraries in the page cache.
millis "$minimal" >/dev/null
millis "$editor" >/dev/null
editor_times=()
minimal_times=()
for ((i = 0; i < runs; i++)); do
    minimal_times+=("$(millis "$minimal")")
    editor_times+=("$(millis "$editor")")
done
editor_ms=$(printf '%s\n' "${editor_times[@]}" | median)
minimal_ms=$(printf '%s\n' "${minimal_times[@]}" | median)
echo "start to first window, median of $runs: editor $editor_ms ms, minimal Qt program $minimal_ms ms"
echo "result start $editor_ms $minimal_ms"
