#!/usr/bin/env bash
# Measures the editor's start to its first window against a Qt program that
# shows one empty window, and against one whose window holds a line of text
# in a layout (a window with text measures it before it shows, so that
# program pays for fontconfig and Qt's fonts as the editor does). Each
# prints the time of day the moment its first window is exposed, and ends:
# each time runs from the exec to that moment (process start, libraries,
# application set-up and the first window). The time to the process's end,
# its exit too, is measured beside it. The runs take turns; each figure is
# the median.
#
# The X server is started with -noreset, as a desktop's server is in effect
# (its own clients never all leave): by default Xvfb resets itself each time
# its last client disconnects, and a program that connects meanwhile waits
# for the reset (seen here: the minimal program took 28.5 ms to its window
# started straight after the one before, 20 ms with -noreset).
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
text=$(realpath "$build/bench/kantel-text-window")
for tool in "$editor" "$minimal" "$text"; do
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
        xvfb-run -a -s "-noreset -screen 0 1280x1024x24" "$0" "$build" "$runs"
    else
        echo "platform: offscreen"
        QT_QPA_PLATFORM=offscreen "$0" "$build" "$runs"
    fi
    exit
fi

# times COMMAND: runs it and prints the milliseconds from its start to its
# first window, and to its end.
times() {
    local out start end
    out=$(mktemp)
    start=$EPOCHREALTIME
    "$@" >"$out" 2>/dev/null || { echo "failed: $*" >&2; rm -f "$out"; exit 1; }
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" '$1 == "first" && $2 == "window" { shown = $4 }
        END {
            if (shown == "") { print "no first window" > "/dev/stderr"; exit 1 }
            printf "%.2f %.2f\n", (shown - s) * 1000, (e - s) * 1000
        }' "$out"
    rm -f "$out"
}

. "$(dirname "$0")/median.sh"

# Once each to have the libraries in the page cache.
times "$minimal" >/dev/null
times "$text" >/dev/null
times "$editor" >/dev/null
editor_times=()
minimal_times=()
text_times=()
for ((i = 0; i < runs; i++)); do
    minimal_times+=("$(times "$minimal")")
    editor_times+=("$(times "$editor")")
    text_times+=("$(times "$text")")
done
# median COLUMN of the lists given
medianOf() {
    local column=$1
    shift
    printf '%s\n' "$@" | awk -v c="$column" '{ print $c }' | median
}
editor_ms=$(medianOf 1 "${editor_times[@]}")
minimal_ms=$(medianOf 1 "${minimal_times[@]}")
editor_exit_ms=$(medianOf 2 "${editor_times[@]}")
minimal_exit_ms=$(medianOf 2 "${minimal_times[@]}")
text_ms=$(medianOf 1 "${text_times[@]}")
echo "start to first window, median of $runs: editor $editor_ms ms, minimal Qt program $minimal_ms ms, one with a line of text $text_ms ms"
echo "to the process's end: editor $editor_exit_ms ms, minimal Qt program $minimal_exit_ms ms"
echo "result start $editor_ms $minimal_ms"
echo "result start_exit $editor_exit_ms $minimal_exit_ms"
echo "result start_text $editor_ms $text_ms"
