#!/usr/bin/env bash
# Drives kantel-cli's bash completion as bash-completion would: for each
# command line, the words offered at its end.
#
#   completion-test.sh COMPLETION_FILE
set -uo pipefail

completion=$1
if [ ! -f /usr/share/bash-completion/bash_completion ]; then
    echo "bash-completion is not installed" >&2
    exit 1
fi
# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1090
source "$completion"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
mkdir waves
touch Bnk_1.bnm BNK_2.BNM notes.txt engine.flac

failures=0
# complete LINE: the words offered for the last word of LINE (a line ending
# in a blank completes a new, empty word), sorted, one line.
complete_line() {
    local line=$1
    COMP_LINE=$line
    COMP_POINT=${#line}
    read -ra COMP_WORDS <<<"$line"
    if [[ $line == *' ' ]]; then
        COMP_WORDS+=("")
    fi
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _kantel_cli kantel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}
expect() {
    local line=$1 want=$2 got
    got=$(complete_line "$line")
    if [ "$got" != "$want" ]; then
        printf 'FAIL: "%s"\n  want: %s\n  got:  %s\n' "$line" "$want" "$got" >&2
        failures=$((failures + 1))
    fi
}

expect "kantel-cli " "check demo diff events export extract header import replace resources save"
expect "kantel-cli e" "events export extract"
expect "kantel-cli --v" "--verbose --version"
expect "kantel-cli resources --" "--help --json --quiet --records --verbose --version"
expect "kantel-cli check --j" "--json"
expect "kantel-cli save Bnk_1.bnm --all-" "--all-banked --all-external"
expect "kantel-cli import Bnk_1.bnm 3 engine.flac --" \
    "--help --keep-rate --match-loudness --output --quiet --verbose --version"
expect "kantel-cli export Bnk_1.bnm waves --" "--force --help --quiet --resource --verbose --version"
# Banks (in either case) and folders where a bank goes; - for standard input.
expect "kantel-cli header " "- BNK_2.BNM Bnk_1.bnm waves"
expect "kantel-cli --quiet check B" "BNK_2.BNM Bnk_1.bnm"
expect "kantel-cli extract " "BNK_2.BNM Bnk_1.bnm waves"
expect "kantel-cli save Bnk_1.bnm -o " "BNK_2.BNM Bnk_1.bnm waves"
# Any sound file for import's third argument; nothing to guess for its second.
expect "kantel-cli import Bnk_1.bnm 3 e" "engine.flac"
expect "kantel-cli import Bnk_1.bnm " ""
expect "kantel-cli replace Bnk_1.bnm waves --" \
    "--dry-run --help --json --keep-rate --match-loudness --output --quiet --verbose --version"
# Folders for demo, export's DIR and replace's FOLDER.
expect "kantel-cli replace Bnk_1.bnm " "waves"
expect "kantel-cli demo " "waves"
expect "kantel-cli export Bnk_1.bnm " "waves"
expect "kantel-cli export Bnk_1.bnm --resource 2 " "waves"
# Two banks for diff, then nothing.
expect "kantel-cli diff Bnk_1.bnm " "BNK_2.BNM Bnk_1.bnm waves"
expect "kantel-cli diff Bnk_1.bnm BNK_2.BNM --" "--help --json --quiet --verbose --version"
# Nothing after a command's last argument.
expect "kantel-cli resources Bnk_1.bnm " ""
expect "kantel-cli diff Bnk_1.bnm BNK_2.BNM " ""

if [ "$failures" -gt 0 ]; then
    echo "$failures completion(s) wrong" >&2
    exit 1
fi
echo "all completions right"
