#!/usr/bin/env bash
# Measures kantel-cli replace of a folder of COUNT sound files of SECONDS
# each (44.1 kHz stereo FLAC, made by sox, named after the samples of a bank
# of 22,050 Hz mono 16-bit samples): opening the bank, converting every file,
# writing the new waves and the one save, all in one process; once as it is
# and once with --match-loudness. The baseline is sox converting the same
# files to the same format, one process per file, in the same run.
#
#   bench/replace.sh [BUILD_DIR] [WORK_DIR] [COUNT] [SECONDS] [RUNS]
#
# Each figure is the median of RUNS runs (default 3). Prints a table and, for
# bench/run, "result" lines: seconds and peak KiB of each replace, and the
# seconds of sox.
set -euo pipefail

build=${1:-build-release}
work=${2:-/tmp/kantel-replace-bench}
count=${3:-200}
seconds=${4:-10}
runs=${5:-3}

cli=$build/src/cli/kantel-cli
gen=$build/bench/kantel-bench-bank
for tool in "$cli" "$gen" /usr/bin/time sox; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done

rm -rf "$work"
mkdir -p "$work/sources" "$work/sox"
for ((i = 0; i < count; i++)); do
    # Names as the bank's names file gives them; no two sounds alike.
    sox -D -n -r 44100 -c 2 -b 16 "$work/sources/$(printf 'Res%05d' "$i").flac" \
        synth "$seconds" sine $((200 + 7 * i)) sine $((300 + 11 * i)) gain -6
done

. "$(dirname "$0")/median.sh"
seconds_of() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f\n", b - a }'; }

# replace NAME [OPTION]: one timed run of replace into a fresh bank.
replace() {
    rm -rf "$work/bank"
    mkdir -p "$work/bank"
    "$gen" "$work/bank/Bnk_0.bnm" "$count" 1 >/dev/null
    local start end
    start=$(date +%s.%N)
    /usr/bin/time -f '%M' -o "$work/time.txt" "$cli" replace --quiet "$work/bank/Bnk_0.bnm" \
        "$work/sources" "${@:2}" >"$work/out.txt"
    end=$(date +%s.%N)
    [ "$(grep -c ' <- ' "$work/out.txt")" = "$count" ] || {
        echo "replace $1 did not replace $count samples" >&2
        exit 1
    }
    seconds_of "$start" "$end" >>"$work/$1.txt"
    cat "$work/time.txt" >>"$work/$1.peak"
}

: >"$work/plain.txt" >"$work/plain.peak" >"$work/loud.txt" >"$work/loud.peak" >"$work/sox.txt"
for ((r = 1; r <= runs; r++)); do
    replace plain
    replace loud --match-loudness

    rm -f "$work/sox/"*
    start=$(date +%s.%N)
    for f in "$work/sources/"*.flac; do
        sox "$f" -r 22050 -c 1 -b 16 "$work/sox/$(basename "$f" .flac).wav"
    done
    end=$(date +%s.%N)
    seconds_of "$start" "$end" >>"$work/sox.txt"
done
plain=$(median <"$work/plain.txt")
loud=$(median <"$work/loud.txt")
sox_s=$(median <"$work/sox.txt")
plain_peak=$(median <"$work/plain.peak")
loud_peak=$(median <"$work/loud.peak")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "$count files of $seconds s, 44.1 kHz stereo FLAC, replacing 22,050 Hz mono 16-bit samples"
printf '%-34s %8s\n' "replace (one process)" "$plain s"
printf '%-34s %8s\n' "replace --match-loudness" "$loud s"
printf '%-34s %8s\n' "sox (one per file)" "$sox_s s"
printf '%-34s %8s\n' "ratio" "$(ratio "$plain" "$sox_s")"
printf '%-34s %8s\n' "ratio with --match-loudness" "$(ratio "$loud" "$sox_s")"
printf '%-34s %8s\n' "peak memory" "$(awk -v k="$plain_peak" 'BEGIN { printf "%.0f MiB", k / 1024 }')"
echo "goal: at most 1.0 x sox, with and without --match-loudness"
echo "result replace $plain $plain_peak"
echo "result replace_loudness $loud $loud_peak"
echo "result sox $sox_s"
rm -rf "$work"
