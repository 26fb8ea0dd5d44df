#!/usr/bin/env bash
# Measures kantel-cli extract and save on a generated bank of 2,000 samples
# and at least 512 MiB, against cp of the same bytes in the same run.
#
#   bench/save-extract.sh [BUILD_DIR] [WORK_DIR] [MEGABYTES] [RUNS]
#
# BUILD_DIR is a release build (default build-release); WORK_DIR needs room
# for RUNS + 3 times the bank (default /tmp/kantel-bench). Each figure is the
# median of RUNS runs (default 3), with the files in the page cache.
#
# Saving is measured against cat of the wave files it packs, into one file
# followed by sync of that file: the reading and writing a save cannot avoid.
#
# kantel-cli syncs every file it writes before it reports success; cp does
# not, so cp followed by sync of the copy is measured too. When eatmydata is
# installed, extract and save are measured once more with every sync turned
# into a no-op, which shows what the syncs cost.
set -euo pipefail

build=${1:-build-release}
work=${2:-/tmp/kantel-bench}
megabytes=${3:-512}
runs=${4:-3}
count=2000

cli=$build/src/cli/kantel-cli
gen=$build/bench/kantel-bench-bank
for tool in "$cli" "$gen" /usr/bin/time; do
    [ -x "$tool" ] || { echo "missing $tool (build with: cmake --build $build)" >&2; exit 2; }
done
nosync=()
if command -v eatmydata >/dev/null; then
    nosync=(eatmydata)
fi

rm -rf "$work"
mkdir -p "$work/bank" "$work/copy"
bank=$work/bank/Bnk_0.bnm
"$gen" "$bank" "$count" "$megabytes"
size=$(stat -c %s "$bank")
sync

# run LABEL COMMAND...: times one command, appends "seconds maxrss_kb
# cpu_seconds" to $work/LABEL.times. The processor time (user and system) is
# what the command itself spent; on a machine shared with other work it
# varies less than the elapsed time.
run() {
    local label=$1
    shift
    /usr/bin/time -f '%e %M %U %S' -o "$work/time.txt" "$@" >/dev/null
    awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }' "$work/time.txt" >>"$work/$label.times"
}

median() { # LABEL FIELD
    sort -n -k"$2" "$work/$1.times" | awk -v f="$2" '{ v[NR] = $f } END { print v[int((NR + 1) / 2)] }'
}

# extract_into DIR: a folder of its own for every extraction, with the bank
# linked in, so that no run writes into a folder that a previous run emptied
# (ext4 then searches its recently freed inodes, which no user would see).
extract_into() {
    mkdir -p "$1"
    ln -f "$bank" "$1/Bnk_0.bnm"
}

labels=(cp cp_sync extract cat_sync save)
for ((i = 1; i <= runs; i++)); do
    rm -f "$work/copy/"*
    run cp cp "$bank" "$work/copy/Bnk_0.bnm"
    rm -f "$work/copy/"*
    run cp_sync sh -c 'cp "$1" "$2" && sync "$2"' sh "$bank" "$work/copy/Bnk_0.bnm"

    extract_into "$work/x$i"
    run extract "$cli" extract "$work/x$i/Bnk_0.bnm"

    # What saving must at least do: read every wave file, write one file and
    # sync it.
    rm -f "$work/copy/"*
    run cat_sync sh -c 'out=$1; shift; cat "$@" >"$out" && sync "$out"' sh \
        "$work/copy/waves" "$work/x$i/"*.wav

    # Saving packs the wave files that extraction left back into a new bank.
    rm -f "$work/copy/"*
    run save "$cli" save "$work/x$i/Bnk_0.bnm" -o "$work/copy/Bnk_0.bnm"
    cmp "$bank" "$work/copy/Bnk_0.bnm"

    if [ "${#nosync[@]}" -gt 0 ]; then
        extract_into "$work/n$i"
        run extract_nosync "${nosync[@]}" "$cli" extract "$work/n$i/Bnk_0.bnm"
        rm -f "$work/copy/"*
        run save_nosync "${nosync[@]}" "$cli" save "$work/n$i/Bnk_0.bnm" -o "$work/copy/Bnk_0.bnm"
    fi
done
if [ "${#nosync[@]}" -gt 0 ]; then
    labels+=(extract_nosync save_nosync)
fi

waves=$(find "$work/x1" -name '*.wav' | wc -l)
echo "bank: $size bytes in $count samples; $waves wave files; saved bank identical to it"
echo

cp_s=$(median cp 1)
cps_s=$(median cp_sync 1)
printf '%-15s %8s %8s %10s %10s %8s\n' step seconds "x cp" "x cp+sync" "peak MiB" "cpu s"
for label in "${labels[@]}"; do
    s=$(median "$label" 1)
    kb=$(median "$label" 2)
    cpu=$(median "$label" 3)
    printf '%-15s %8s %8s %10s %10s %8s\n' "$label" "$s" \
        "$(awk -v a="$s" -v b="$cp_s" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')" \
        "$(awk -v a="$s" -v b="$cps_s" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')" \
        "$(awk -v k="$kb" 'BEGIN { printf "%.0f", k / 1024 }')" "$cpu"
done
echo
awk -v s="$size" 'BEGIN { printf "goal: each at most 1.3 x cp; peak at most %.0f MiB (bank + 64)\n", s / 1048576 + 64 }'

# For bench/run: seconds and peak KiB of each step, and the bank's size.
echo "result bank $size"
for label in "${labels[@]}"; do
    echo "result $label $(median "$label" 1) $(median "$label" 2)"
done
rm -rf "$work"
