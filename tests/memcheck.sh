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
keywords=(prog exp conf plot print dot lv pdf diskless userhome curdir --all --shell --check --help --version bogus "")
runs=0
for environment in "${environments[@]}"; do
    for keyword in "${keywords[@]}"; do
        runs=$((runs + 1))
        # An empty keyword runs the command without an argument.
        # shellcheck disable=SC2086
        "${as_nmr[@]}" $environment "$valgrind" -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
            "$command" $keyword >/dev/null 2>"$work/log" || true
        if [[ -s "$work/log" ]]; then
            echo "FAILED: ravlin-path $keyword with $environment"
            cat "$work/log"
            failures=$((failures + 1))
        fi
    done
done
echo "$((runs - failures)) passed, $failures failed"
((failures == 0))
