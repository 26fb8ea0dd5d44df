#!/usr/bin/env bash
# scripts/check-size on sources written here: which functions and files it
# reports, and which it lets pass.
#
#   check-size-test.sh CHECK_SIZE
set -uo pipefail

check=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

# lines N: N statement lines, as a function body would hold them.
lines() {
    local i
    for ((i = 0; i < $1; i++)); do
        echo "    x += $i; // {"
    done
}

# expect NAME STATUS PATTERN...: check-size on NAME exits with STATUS and
# prints exactly one line for each PATTERN, and no other.
expect() {
    local name=$1 status=$2
    shift 2
    local output got
    output=$("$check" "$dir/$name")
    got=$?
    if [ "$got" -ne "$status" ]; then
        echo "FAIL $name: exit status $got, expected $status" >&2
        echo "$output" >&2
        failures=$((failures + 1))
    fi
    if [ "$(printf '%s' "$output" | grep -c .)" -ne $# ]; then
        echo "FAIL $name: expected $# findings, got:" >&2
        echo "$output" >&2
        failures=$((failures + 1))
        return
    fi
    local pattern
    for pattern in "$@"; do
        if ! grep -q -- "$pattern" <<<"$output"; then
            echo "FAIL $name: no finding matches '$pattern':" >&2
            echo "$output" >&2
            failures=$((failures + 1))
        fi
    done
}

# A function of 60 lines passes, one of 61 does not; the braces in the
# comments and strings do not count.
{
    echo 'void ok() {'
    lines 58
    echo '}'
    echo 'void tooLong() {'
    lines 58
    echo '    const char* s = "}}}";'
    echo '}'
} >"$dir/limit.cpp"
expect limit.cpp 1 'limit.cpp:61: a function of 61 lines'

# Functions in namespaces and class bodies, a constructor with braced
# member initialisers and a lambda at namespace scope are measured; a data
# table, an enum and a class body are not; a reason above a function lets
# it pass.
{
    echo 'namespace {'
    echo 'struct Table {'
    echo '    int Get() const {'
    lines 61
    echo '    }'
    echo '};'
    echo 'const int kTable[] = {'
    lines 70 | sed 's/x += //; s/;/,/'
    echo '};'
    echo 'enum class Kind {'
    lines 70 | sed 's/x += /A/; s/;/,/'
    echo '};'
    echo '// Long: one case a line reads best whole.'
    echo 'int cases() {'
    lines 70
    echo '}'
    echo 'const auto each = [](int x) {'
    lines 61
    echo '};'
    echo '} // namespace'
    echo 'Table::Table(int a) : m_a(a), m_b{1} {'
    lines 61
    echo '}'
} >"$dir/kinds.cpp"
expect kinds.cpp 1 'kinds.cpp:3: a function of 63 lines' 'kinds.cpp:284: a function of 63 lines' \
    'kinds.cpp:348: a function of 63 lines'

# A file over 500 lines needs its reason as its first line.
lines 501 >"$dir/long.cpp"
expect long.cpp 1 'long.cpp:1: 501 lines'
{
    echo '// Long: the tables of every game.'
    lines 600
} >"$dir/reasoned.cpp"
expect reasoned.cpp 0

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "check-size: all cases pass"
