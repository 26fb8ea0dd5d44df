#!/usr/bin/env bash
# Opening a bank whose 65,535 samples name no wave file, so that a name is
# chosen for each, against the same bank with names: choosing must not cost
# time growing with the square of the number of samples.
#   bench/naming.sh BUILD_DIR OUT_FILE
set -euo pipefail
build=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/named" "$work/unnamed"
"$build/bench/kantel-bench-bank" "$work/named/Bnk_1.bnm" 65535 64 >/dev/null
"$build/bench/kantel-bench-bank" "$work/unnamed/Bnk_1.bnm" 65535 64 unnamed >/dev/null
seconds() {
    local start end
    start=$(date +%s.%N)
    "$build/src/cli/kantel-cli" extract "$1" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}
echo "result naming $(seconds "$work/unnamed/Bnk_1.bnm") $(seconds "$work/named/Bnk_1.bnm")" >"$out"
