#!/usr/bin/env bash
# Builds the RPM packages from rpm/ravlinpath.spec on this Debian machine,
# with rpm/macros.stand-in in place of the macros of RHEL 9 (its flags,
# debuginfo packages, %cmake), in a scratch _topdir, the unit and memcheck
# tests running in %check; and checks them: the spec where a reviewer reads
# it, rpmlint with rpm/rpmlint.toml, the packages and their file lists, what
# they provide and require, the ELF files' flags and hardening, the archive's
# names; installs them into a scratch root (rpm --root, with its own
# database) and, in a private mount namespace where that root's /usr is laid
# over this machine's and CMake sees no Debian system, runs the command and
# builds C and C++ programs against them as users do, first without the
# static library, then with it; and removes them again. Needs root (mount
# namespaces, overlayfs).
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/checks.sh
spec=rpm/ravlinpath.spec
rpm_=(--load rpm/macros.stand-in)
# rpm 4.20 (Debian 13) makes the debuginfo packages by itself, and its spec
# parser no longer takes %install from a macro: the stand-in's goes.
if [[ "$(printf '%s\n' 4.20 "$(rpm --version | awk '{print $3}')" | sort -V | head -n 1)" == 4.20 ]]; then
    rpm_+=(--undefine install)
fi

version=$(rpmspec "${rpm_[@]}" -q --srpm --qf '%{version}' $spec)
release=$(rpmspec "${rpm_[@]}" -q --srpm --qf '%{release}' $spec)
check "spec version is the project's" "$(sed -nE 's/^project\(ravlinpath VERSION ([0-9.]+) .*/\1/p' CMakeLists.txt)" "$version"
# What a reviewer reads in the spec: the completion directory by its macro,
# defined where RHEL 9 lacks it; above Source0, the git archive line of
# README.md; the emptied doc directory removed and README.md packaged, where
# a lint filter used to hide that there was no documentation; why there is
# a -static package; the static link that README.md shows, as tests run it.
check "completion directory by its macro, defined for RHEL 9" \
    "%{!?bash_completions_dir:%global bash_completions_dir %{_datadir}/bash-completion/completions} %{bash_completions_dir}/ravlin-path" \
    "$(grep -E 'bash.completion' $spec | paste -sd ' ' -)"
archive="git archive --prefix=ravlinpath-$version/ -o ~/rpmbuild/SOURCES/ravlinpath-$version.tar.gz HEAD"
check "above Source0, the git archive line of README.md" "$archive, $archive" \
    "$(grep -B 1 '^Source0:' $spec | sed -n '1s/^# *//p'), $(grep -o 'git archive [^&]*HEAD' README.md)"
check "doc directory removed, no lint filter for no-documentation" "1 0" \
    "$(grep -cx 'rm -r %{buildroot}%{_docdir}/%{name}' $spec) $(grep -cF "': W: no-documentation\$'" rpm/rpmlint.toml)"
check "a comment says why there is a -static package" "#" "$(grep -B 1 '^%package  *static$' $spec | head -c 1)"
check "README.md's static link is the one tests/consumers.sh runs" "$(grep -o -- '-Wl,-Bstatic.*-lm' tests/consumers.sh | head -n 1)" \
    "$(grep -o -- '-Wl,-Bstatic.*-lm' README.md)"

top=$work/rpmbuild
mkdir -p "$top/SOURCES"
tree_tar --transform "s|^|ravlinpath-$version/|" -czf "$top/SOURCES/ravlinpath-$version.tar.gz"
# The build requirements are RPM packages, which this machine has none of.
echo "building the packages, running the tests in %check"
if ! quietly "$work/build.log" rpmbuild -ba --nodeps "${rpm_[@]}" --define "_topdir $top" $spec; then
    echo "rpmbuild failed"
    exit 1
fi
arch=$(rpm --eval '%{_arch}')
rpm_file() { echo "$top/RPMS/$arch/$1-$version-$release.$arch.rpm"; }
check "%check ran the tests" 1 "$(grep -c '^100% tests passed' "$work/build.log")"
check "the Python module imported in %check" 1 "$(grep -c '^+ .*python3 -c .import ravlinpath.$' "$work/build.log")"
check "packages built" "python3-ravlinpath python3-ravlinpath-debuginfo ravlin-path ravlin-path-debuginfo ravlinpath ravlinpath-debuginfo ravlinpath-debugsource ravlinpath-devel ravlinpath-static" \
    "$(rpm -qp --qf '%{name}\n' "$top/RPMS/$arch"/*.rpm | sort | paste -sd ' ' -)"

echo "rpmlint"
lint=$(rpmlint -c rpm/rpmlint.toml "$top/SRPMS"/*.rpm "$top/RPMS/$arch"/*.rpm 2>&1 | grep -E ': [EW]: ' || true)
check "rpmlint reports nothing" "" "$lint"

# The files of each package (links as NAME -> TARGET), less build-id links,
# and its directories.
contents() {
    rpm -qp --qf '[%{filemodes:perms} %{filenames} %{filelinktos}\n]' "$(rpm_file "$1")" | grep -v '^d' \
        | cut -d ' ' -f 2- | grep -v '^/usr/lib/\.build-id' | sed -E 's/ $//; s/ / -> /' | sort
}
directories() { rpm -qp --qf '[%{filemodes:perms} %{filenames}\n]' "$(rpm_file "$1")" | awk '/^d/ {print $2}' | sort | paste -sd ' ' -; }
lib=/usr/lib64 man3=/usr/share/man/man3
functions=$(sed -n 's/^[a-z ]*\*\? *\(path[A-Za-z]*\)(.*/\1/p' include/ravlinpath/{Ravlin,System,Origin}C.h)
check "ravlinpath files" "$(printf '%s\n' "$lib/libravlinpath.so.1 -> libravlinpath.so.$version" "$lib/libravlinpath.so.$version" \
    /usr/share/doc/ravlinpath/README.md /usr/share/licenses/ravlinpath/LICENSE | sort)" "$(contents ravlinpath)"
check "ravlinpath-devel files" "$({ printf '/usr/include/ravlinpath/%s.h\n' Base IniFile Origin OriginC Platform Ravlin RavlinC System SystemC
    printf "$lib/cmake/ravlinpath/%s.cmake\n" ravlinpathConfig ravlinpathConfigVersion ravlinpathTargets ravlinpathTargets-noconfig
    echo "$lib/libravlinpath.so -> libravlinpath.so.1"; echo "$lib/pkgconfig/ravlinpath.pc"; echo "$man3/ravlinpath.3.gz"
    for f in $functions; do echo "$man3/$f.3.gz -> ravlinpath.3.gz"; done; } | sort)" \
    "$(contents ravlinpath-devel)"
check "man pages listed one by one" "ravlinpath $(echo $functions)" "$(sed -n 's|^%{_mandir}/man3/\(.*\)\.3\*$|\1|p' $spec | paste -sd ' ' -)"
check "directories owned" "/usr/share/doc/ravlinpath /usr/share/licenses/ravlinpath, /usr/include/ravlinpath $lib/cmake/ravlinpath, , /usr/share/licenses/ravlin-path /usr/share/ravlinpath" \
    "$(directories ravlinpath | sed 's|/usr/lib/\.build-id[^ ]* *||g'), $(directories ravlinpath-devel), $(directories ravlinpath-static), $(directories ravlin-path | sed 's|/usr/lib/\.build-id[^ ]* *||g')"
check "ravlinpath-static files" "$(printf '%s\n' "$lib/libravlinpath.a" "$lib/cmake/ravlinpath/ravlinpathStaticTargets.cmake" \
    "$lib/cmake/ravlinpath/ravlinpathStaticTargets-noconfig.cmake" | sort)" "$(contents ravlinpath-static)"
check "ravlin-path files" "$(printf '%s\n' /usr/bin/ravlin-path /usr/share/bash-completion/completions/ravlin-path \
    /usr/share/licenses/ravlin-path/LICENSE /usr/share/man/man1/ravlin-path.1.gz \
    /usr/share/ravlinpath/ravlin-path.schema.json | sort)" "$(contents ravlin-path)"
python=$(rpm "${rpm_[@]}" --eval '%{python3_sitearch}')
check "python3-ravlinpath files" "$(printf "$python/ravlinpath/%s\n" __init__.abi3.so __init__.pyi __main__.py py.typed | sort)" \
    "$(contents python3-ravlinpath)"
check "debuginfo of the library" "/usr/lib/debug$lib/libravlinpath.so.$version-$version-$release.$arch.debug" \
    "$(contents ravlinpath-debuginfo | grep '\.debug$' | grep -v '/\.build-id/')"
check "debuginfo of the command" "/usr/lib/debug/usr/bin/ravlin-path-$version-$release.$arch.debug" \
    "$(contents ravlin-path-debuginfo | grep '\.debug$' | grep -v '/\.build-id/')"
check "debugsource has the library's and the command's sources" "yes yes" \
    "$(contents ravlinpath-debugsource | grep -q '/lib/Platform\.cpp$' && echo yes) $(contents ravlinpath-debugsource | grep -q '/tool/main\.cpp$' && echo yes)"

# What each package provides and requires, less the symbol versions of the
# C library and the C++ runtime, which follow the toolchain, and rpm's own
# features. Fedora's cmake-rpm-macros also make ravlinpath-devel require
# cmake-filesystem, which the stand-in does not.
deps() {  # deps PACKAGE provides|requires
    rpm -qp "--$2" "$(rpm_file "$1")" | grep -vE '^rpmlib\(|\((GLIBC|GCC|GLIBCXX|CXXABI)_[^)]*\)\(64bit\)$' \
        | sort | paste -sd ' ' -
}
isa=$(rpm --eval '%{_isa}')
check "ravlinpath provides" \
    "libravlinpath.so.1()(64bit) libravlinpath.so.1(RAVLINPATH_1)(64bit) ravlinpath = $version-$release ravlinpath$isa = $version-$release" \
    "$(deps ravlinpath provides)"
check "ravlinpath requires" \
    "ld-linux-x86-64.so.2()(64bit) libc.so.6()(64bit) libgcc_s.so.1()(64bit) libstdc++.so.6()(64bit) rtld(GNU_HASH)" \
    "$(deps ravlinpath requires)"
check "ravlinpath-devel provides" "pkgconfig(ravlinpath) = $version ravlinpath-devel = $version-$release ravlinpath-devel$isa = $version-$release" \
    "$(deps ravlinpath-devel provides)"
check "ravlinpath-devel requires" "/usr/bin/pkg-config ravlinpath$isa = $version-$release" \
    "$(deps ravlinpath-devel requires)"
# The static link takes -lstdc++ from libstdc++-devel (-lm from glibc-devel,
# which gcc requires).
check "ravlinpath-static requires" "libstdc++-devel$isa ravlinpath-devel$isa = $version-$release" "$(deps ravlinpath-static requires)"
# The command carries the library and the C++ runtime inside.
check "python3-ravlinpath requires the library and its Python" "libc.so.6()(64bit) libgcc_s.so.1()(64bit) libravlinpath.so.1()(64bit) libravlinpath.so.1(RAVLINPATH_1)(64bit) libstdc++.so.6()(64bit) python(abi) = $(python3 -c 'import sys; print("{0}.{1}".format(*sys.version_info))') ravlinpath$isa = $version-$release rtld(GNU_HASH)" \
    "$(deps python3-ravlinpath requires)"
check "ravlin-path requires the C library alone" "ld-linux-x86-64.so.2()(64bit) libc.so.6()(64bit) rtld(GNU_HASH)" \
    "$(deps ravlin-path requires)"

# Installed into a scratch root, which has no C library package: --nodeps.
root=$work/root
mkdir "$root"
rpm_install() { quietly "$work/install.log" rpm --root "$root" -i --nodeps "$@"; }
echo "installing into a scratch root"
rpm_install "$(rpm_file ravlinpath)" "$(rpm_file ravlinpath-devel)" "$(rpm_file ravlin-path)" \
    "$(rpm_file python3-ravlinpath)" "$(rpm_file ravlinpath-debuginfo)" "$(rpm_file ravlin-path-debuginfo)"
check "installed packages verify" "" "$(rpm --root "$root" -Va --nodeps 2>&1)"

# Built with the distribution's flags (as the debug information records
# them: LTO, stack clash protection, CET), RELRO and immediate binding,
# stripped; the command is PIE.
library=$root$lib/libravlinpath.so.$version command=$root/usr/bin/ravlin-path
for elf in "$library" "$command"; do
    name=${elf##*/}
    debug=$(find "$root/usr/lib/debug" -name "$name-$version-$release.$arch.debug")
    producer=$(readelf --debug-dump=info "$debug" | grep -m 1 'DW_AT_producer.*GNU GIMPLE' || true)
    flags=$(for flag in -march=x86-64-v2 -fstack-protector-strong -fstack-clash-protection -fcf-protection=full; do
        [[ " $producer " == *" $flag "* ]] && echo "$flag"; done | paste -sd ' ' -)
    check "$name: link-time optimized, with the flags" \
        "-march=x86-64-v2 -fstack-protector-strong -fstack-clash-protection -fcf-protection=full" "$flags"
    check "$name: RELRO, bound on load" "1 1" "$(readelf -lW "$elf" | grep -c GNU_RELRO) $(readelf -dW "$elf" | grep -c BIND_NOW)"
    check "$name: stripped, with a debug link" "0 1" "$(readelf -SW "$elf" | grep -c '\.symtab') $(readelf -SW "$elf" | grep -c '\.gnu_debuglink')"
done
check "command is PIE" 1 "$(readelf -dW "$command" | grep -c 'FLAGS_1.*PIE')"

# Run where the scratch root's /usr is laid over this machine's and
# /etc/debian_version is hidden, so that CMake searches lib64 as it does on
# RHEL and Fedora; the loader does not, hence LD_LIBRARY_PATH.
mkdir "$work/etc-layer"
mknod "$work/etc-layer/debian_version" c 0 0
as_installed() {  # as_installed SHELL-COMMAND
    unshare -m bash -c 'mount -t overlay overlay -o lowerdir="$1/usr":/usr /usr &&
        mount -t overlay overlay -o lowerdir="$2":/etc /etc && eval "$3"' _ "$root" "$work/etc-layer" "$1"
}
check "installed command" "/opt/r/prog" "$(as_installed 'RAVLINHOME=/opt/r ravlin-path prog')"
check "installed Python module" "/opt/r/prog" \
    "$(as_installed "RAVLINHOME=/opt/r PYTHONPATH=$python LD_LIBRARY_PATH=$lib python3 -c 'import ravlinpath; print(ravlinpath.prog_dir())'" 2>&1)"
check "man page under a C function's name" "/usr/share/man/man3/ravlinpath.3.gz" "$(as_installed 'man -w pathRavlinExp' 2>&1)"
source tests/consumer/answers.sh
consumer=$work/without-static
check "without ravlinpath-static, CMake gives the shared library alone" "$cxx_answer, no archive target" \
    "$(as_installed "{ cmake -S tests/consumer -B '$consumer' && cmake --build '$consumer'; } >'$consumer.log' 2>&1 || tail -n 20 '$consumer.log'
        LD_LIBRARY_PATH=$lib '$consumer/answer'; [[ -e '$consumer/answer_static' ]] || echo ', no archive target'" 2>&1 | paste -sd '' -)"

rpm_install "$(rpm_file ravlinpath-static)"
archive=$root$lib/libravlinpath.a
check "archive has no LTO sections" "" "$(readelf -SW "$archive" | grep -o '\.gnu\.lto_[^ ]*' | sort -u)"
check "archive defines no other global names" "" "$(archive_globals "$archive")"
echo "building C and C++ programs against the installed packages"
check_runs "C and C++ consumers, pkg-config and CMake, shared and static" as_installed 'tests/consumers.sh /usr'

# Debian's rpm warns on stderr that packages are for alien to install.
rpm --root "$root" -e --nodeps ravlinpath-static ravlinpath-devel ravlinpath ravlin-path python3-ravlinpath \
    ravlinpath-debuginfo ravlin-path-debuginfo 2>"$work/erase.log" || cat "$work/erase.log"
check "packages removed, no file left in /usr" "" "$(rpm --root "$root" -qa; find "$root/usr" -type f)"

summary rpm
