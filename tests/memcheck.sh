#!/usr/bin/env bash
# Runs the command under valgrind's memcheck for every keyword and option in
# a few environments: no error, nothing definitely lost (answers held for the
# life of the process are still reachable, as intended).
# Usage: memcheck.sh COMMAND NSS_WRAPPER_LIBRARY
set -euo pipefail
command=$1
valgrind=$(command -v valgrind)
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
as_nmr "$2"
echo "other:x:$(($(id -u) + 1)):0::/:/bin/sh" >"$work/nobody"

environments=(
    ""
    "RAVLINHOME=C:\\r RAVLINPROG=/p RAVLINEXP=/e LUMEVA=/l PATH=/usr/bin:/bin"
    "NSS_WRAPPER_PASSWD=$work/nobody PATH=::"
)
keywords=(prog exp conf plot print dot lv pdf diskless userhome curdir --all --shell --csh --fish --check --help --version
    --json "--check --json" "--explain --json" bogus "")
for environment in "${environments[@]}"; do
    for keyword in "${keywords[@]}"; do
        # An empty keyword runs the command without an argument; a keyword
        # of two words is two arguments.
        # shellcheck disable=SC2086
        "${as_nmr[@]}" $environment "$valgrind" -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
            "$command" $keyword >/dev/null 2>"$work/log" || true
        check "ravlin-path $keyword with $environment" "" "$(cat "$work/log")"
    done
done
summary memcheck
