#!/usr/bin/env bash
# Runs the README's two commands exactly as written, and between them its
# package build without the test tools, one after the other, as root in a
# fresh Debian root made by debootstrap, in a clone of this repository (what
# is committed, as CI sees it); says how long each took and what apt
# installed. Needs root, debootstrap and a Debian mirror; CI does not run it
# (about seven minutes on two cores).
#   tests/fresh-root.sh bookworm|trixie [MIRROR]
set -euo pipefail
cd "$(dirname "$0")/.."
release=$1 mirror=${2:-http://deb.debian.org/debian}
source tests/checks.sh
root=$work/root
at_exit 'umount -R "$root" 2>/dev/null'

echo "== debootstrap $release"
quietly "$work/debootstrap.log" debootstrap "$release" "$root" "$mirror" || exit 1
# The root is made a mount point of its own, as / is on a machine, so that
# programs in it may make their mount namespaces private.
mount --bind "$root" "$root"
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"
cp /etc/resolv.conf "$root/etc/"
git clone -q --no-hardlinks . "$root/root/ravlinpath"

readarray -t commands < <(grep -m 2 '^apt-get update' README.md)
commands=("${commands[0]}" "$(grep -m 1 '^DEB_BUILD_OPTIONS=nocheck' README.md)" "${commands[1]}")
for command in "${commands[@]}"; do
    echo "== $command"
    start=$(date +%s)
    status=0
    chroot "$root" env -i HOME=/root LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
        bash -c 'cd /root/ravlinpath && eval "$1"' _ "$command" >"$work/command.log" 2>&1 || status=$?
    grep -h 'additional disk space' "$work/command.log" || true
    tail -n 5 "$work/command.log"
    echo
    check "exit status, after $(($(date +%s) - start)) s" 0 "$status"
done
summary "$release"
