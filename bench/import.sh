#!/usr/bin/env bash
# Measures importing COUNT sound files of SECONDS each (44.1 kHz stereo FLAC,
# made by sox) into a bank of 22,050 Hz mono 16-bit samples, all in one
# process, against sox converting the same files to the same format, one
# process per file, in the same run.
#
#   bench/import.sh [BUILD_DIR] [WORK_DIR] [COUNT] [SECONDS] [RUNS]
#
# Each figure is the median of RUNS runs (default 3). Prints a table and, for
# bench/run, "result" lines: seconds and peak KiB of the import, the seconds of
# sox, and the size of the saved bank.
set -euo pipefail

build=${1:-build-release}
work=${2:-/tmp/kantel-import-bench}
count=${3:-200}
seconds=${4:-10}
runs=${5:-3}

bench=$build/bench/kantel-import-bench
gen=$build/bench/kantel-bench-bank
for tool in "$bench" "$gen" /usr/bin/time sox; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done

rm -rf "$work"
mkdir -p "$work/sources" "$work/sox"
for ((i = 0; i < count; i++)); do
    # Tones of many pitches, a little noise, so no two files are alike.
    sox -D -n -r 44100 -c 2 -b 16 "$work/sources/$(printf 'sound%03d' "$i").flac" \
        synth "$seconds" sine $((200 + 7 * i)) sine $((300 + 11 * i)) gain -6
done

. "$(dirname "$0")/median.sh"

: >"$work/ours.txt" >"$work/peak.txt" >"$work/sox.txt" >"$work/save.txt"
for ((r = 1; r <= runs; r++)); do
    rm -rf "$work/bank"
    mkdir -p "$work/bank"
    "$gen" "$work/bank/Bnk_0.bnm" "$count" 1 >/dev/null
    /usr/bin/time -f '%M' -o "$work/time.txt" "$bench" "$work/bank/Bnk_0.bnm" "$work/sources" \
        >"$work/out.txt"
    awk '$1 == "import" { print $2 }' "$work/out.txt" >>"$work/ours.txt"
    awk '$1 == "save" { print $2 }' "$work/out.txt" >>"$work/save.txt"
    cat "$work/time.txt" >>"$work/peak.txt"

    rm -f "$work/sox/"*
    start=$(date +%s.%N)
    for f in "$work/sources/"*.flac; do
        sox "$f" -r 22050 -c 1 -b 16 "$work/sox/$(basename "$f" .flac).wav"
    done
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }' >>"$work/sox.txt"
done
ours=$(median <"$work/ours.txt")
save=$(median <"$work/save.txt")
sox_s=$(median <"$work/sox.txt")
peak=$(median <"$work/peak.txt")
bank=$(stat -c %s "$work/bank/Bnk_0.bnm")

echo "$count files of $seconds s, 44.1 kHz stereo FLAC, into 22,050 Hz mono 16-bit samples"
printf '%-26s %8s\n' "import (one process)" "$ours s"
printf '%-26s %8s\n' "sox (one per file)" "$sox_s s"
printf '%-26s %8s\n' "ratio" "$(awk -v a="$ours" -v b="$sox_s" 'BEGIN { printf "%.2f", a / b }')"
printf '%-26s %8s\n' "save of the bank" "$save s"
printf '%-26s %8s\n' "peak memory" "$(awk -v k="$peak" 'BEGIN { printf "%.0f MiB", k / 1024 }')"
printf '%-26s %8s\n' "saved bank" "$(awk -v b="$bank" 'BEGIN { printf "%.0f MiB", b / 1048576 }')"
echo "goal: at most 1.0 x sox; peak at most the bank + 64 MiB"
echo "result import $ours $peak"
echo "result sox $sox_s"
echo "result bank $bank"
rm -rf "$work"
