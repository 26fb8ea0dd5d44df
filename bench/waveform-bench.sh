#!/usr/bin/env bash
# Measures the waveform pane on a wave file of one minute, 44.1 kHz stereo
# 16-bit, that sox writes: reading its peaks against a plain read of the
# file, and painting the pane against painting an empty widget of its size.
# A repaint must take less than one screen refresh (16 ms).
#
#   bench/waveform-bench.sh [BUILD_DIR] [WORK_DIR] [RUNS]
#
# BUILD_DIR is a release build (default build-release); the file goes to
# WORK_DIR (default /tmp/kantel-waveform-bench). Figures are medians of RUNS
# runs (default 15), with the file in the page cache.
set -euo pipefail

build=${1:-build-release}
work=${2:-/tmp/kantel-waveform-bench}
runs=${3:-15}

bench=$build/bench/kantel-waveform-bench
[ -x "$bench" ] || { echo "missing $bench (build with: cmake --build $build)" >&2; exit 2; }
command -v sox >/dev/null || { echo "sox is not installed" >&2; exit 2; }

rm -rf "$work"
mkdir -p "$work"
# A rising tone with some noise, so that the peaks change along the file.
sox -D -r 44100 -n -r 44100 -c 2 -b 16 -e signed-integer "$work/minute.wav" \
    synth 60 sine 100-2000 synth 60 whitenoise amod 0.5 vol 0.8

QT_QPA_PLATFORM=offscreen "$bench" "$work/minute.wav" "$runs"
