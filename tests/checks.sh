# Sourced by the shell tests: a scratch directory, $work, removed at exit,
# and check NAME EXPECTED ACTUAL, which prints ok or FAILED and counts the
# failures in $failures.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {
    if [[ "$2" == "$3" ]]; then echo "ok: $1"; else echo "FAILED: $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}
