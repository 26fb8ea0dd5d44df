#!/usr/bin/env bash
# The manual pages render without a complaint from man or groff (as lintian
# reads them), and kantel-cli's page and completion know every command and
# option that `kantel-cli --help` lists.
#
#   manpage-test.sh KANTEL_CLI PAGES_DIR COMPLETION_FILE
set -uo pipefail

cli=$1
pages=$2
completion=$3
failures=0
fault() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for page in kantel kantel-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$pages/$page.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fault "$page.1: $warnings"
done

help=$("$cli" --help) || {
    echo "kantel-cli --help failed" >&2
    exit 1
}
# The command column of the help's usage text: "  header BANK [--json] ...".
commands=$(sed -nE 's/^ +([a-z]+) (BANK|DIR)\b.*/\1/p' <<<"$help" | sort -u)
options=$(grep -oE '^ +(-[a-z], )?--[a-z-]+' <<<"$help" | grep -oE -- '--[a-z-]+' | sort -u)
[ -n "$commands" ] || fault "no commands found in kantel-cli --help"
[ -n "$options" ] || fault "no options found in kantel-cli --help"

offered=$(sed -nE 's/^ *local commands="([^"]*)".*/\1/p' "$completion")
for command in $commands; do
    grep -qE "^\.BI? $command( |$)" "$pages/kantel-cli.1" || fault "kantel-cli.1 has no entry for $command"
    [[ " $offered " == *" $command "* ]] || fault "the completion does not offer $command"
done
for option in $options; do
    grep -qF -- "${option//-/\\-}" "$pages/kantel-cli.1" || fault "kantel-cli.1 does not describe $option"
    grep -qE -- "(^|[ \"])$option([ \"]|$)" "$completion" || fault "the completion does not offer $option"
done

if [ "$failures" -gt 0 ]; then
    exit 1
fi
echo "pages render; $(wc -w <<<"$commands") commands and $(wc -w <<<"$options") options covered"
