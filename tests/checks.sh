# Sourced by the shell tests and the benchmarks.
#   $work                 a scratch directory, removed at exit (never across a
#                         mount point: a chroot's /dev is not followed)
#   at_exit COMMAND       runs COMMAND (a shell string) at exit, before $work goes
#   check NAME EXPECTED ACTUAL
#                         prints ok or FAILED and counts the checks in $passes
#                         and $failures
#   quietly LOG COMMAND...
#                         runs COMMAND with its output in LOG; when it fails,
#                         shows the log's last lines and fails too
#   check_runs NAME COMMAND...
#                         checks that COMMAND succeeds, run quietly
#   summary NAME          prints "NAME: N passed, M failed" and fails when a
#                         check failed
#   tree_tar TAR-OPTIONS...
#                         writes the working tree's files, committed or not,
#                         less those git ignores, as a tar archive
#   archive_globals ARCHIVE
#                         prints the global names ARCHIVE defines beyond the
#                         library's public ones and its internal namespace
#   as_nmr NSS_WRAPPER_LIBRARY
#                         sets $as_nmr, an env(1) prefix that runs a program with
#                         an empty environment as user nmr (home /home/nmr, the
#                         caller's uid and gid) on host alpha.beta, through
#                         nss_wrapper, so that no answer depends on this machine
work=$(mktemp -d)
exit_commands=()
at_exit() { exit_commands+=("$1"); }
trap 'for command in "${exit_commands[@]}"; do eval "$command" || true; done; rm -rf --one-file-system "$work"' EXIT
passes=0 failures=0
check() {
    if [[ "$2" == "$3" ]]; then
        echo "ok: $1"
        passes=$((passes + 1))
    else
        echo "FAILED: $1: expected [$2], got [$3]"
        failures=$((failures + 1))
    fi
}
quietly() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 && return 0
    tail -n 40 "$log"
    return 1
}
check_runs() {
    local status=0
    quietly "$(mktemp "$work/log-XXXX")" "${@:2}" || status=1
    check "$1" 0 "$status"
}
tree_tar() { git ls-files -z --cached --others --exclude-standard | tar --null -T - "$@"; }
summary() {
    echo "$1: $passes passed, $failures failed"
    ((failures == 0))
}
as_nmr() {
    echo "nmr:x:$(id -u):$(id -g):NMR:/home/nmr:/bin/sh" >"$work/passwd"
    echo "nmr:x:$(id -g):" >"$work/group"
    as_nmr=(env -i LD_PRELOAD="$1" NSS_WRAPPER_PASSWD="$work/passwd" NSS_WRAPPER_GROUP="$work/group"
        NSS_WRAPPER_HOSTNAME=alpha.beta)
}

# Weak definitions (template instances of the C++ library) yield to a
# program's own, so they are left out.
archive_globals() {
    nm -C --defined-only "$1" | awk 'NF >= 3 && $2 ~ /[A-Z]/ && $2 !~ /[WV]/ {$1 = $2 = ""; print substr($0, 3)}' \
        | grep -v -E '^(path(Ravlin|System)[A-Za-z]+|pathOrigin|(PathBase|PathOrigin|PathPlatform|PathRavlin|PathSystem)::.*|readProfileString\(.*\)|.*ravlinpath::.*|DW\.ref\.__gxx_personality_v0)$' \
        | sort -u || true
}
