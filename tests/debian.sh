#!/usr/bin/env bash
# Builds the Debian source and binary packages from a copy of the tree
# (dpkg-buildpackage writes next to the tree it builds, so neither the tree
# nor its parent is touched) and checks them: lintian on all of them, the
# file lists, the symbols file, the dependencies
# dpkg-shlibdeps gives programs linked against the library, and the
# autopkgtest tests against the installed packages, which are purged again.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(libravlinpath1 libravlinpath-dev ravlin-path python3-ravlinpath)
source tests/checks.sh

source=$work/ravlinpath
mkdir "$source"
tree_tar -cf - | tar -xf - -C "$source"
version=$(cd "$source" && dpkg-parsechangelog -SVersion)
tar -C "$work" --exclude=ravlinpath/debian -cJf "$work/ravlinpath_${version%-*}.orig.tar.xz" ravlinpath
echo "building the source and binary packages, running the tests in the build"
if ! (cd "$source" && quietly "$work/build.log" dpkg-buildpackage -us -uc); then
    echo "dpkg-buildpackage failed"
    exit 1
fi
check "CMake uses every variable debhelper sets" 0 "$(grep -c 'Manually-specified variables' "$work/build.log" || true)"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
deb() { echo "$work/${1}_${version}_$(dpkg --print-architecture).deb"; }

# The packages follow the policy of Debian 13 (4.7.2), whose lintian checks
# them; Debian 12's knows the policy only up to 4.6.2 and warns of any later.
echo "lintian"
lintian=$(TMPDIR=$work lintian --pedantic -I -E --suppress-tags newer-standards-version "$work"/*.changes 2>&1 | grep -v '^running with root privileges' || true)
check "lintian --pedantic -I -E reports nothing" "" "$lintian"

# The files of each package, links as NAME -> TARGET.
contents() { dpkg-deb -c "$(deb "$1")" | grep -v '/$' | sed -E 's|^([^ ]+ +){5}\./||' | sort; }
doc() {  # doc PACKAGE: its documentation files, and its lintian overrides where it has some
    printf 'usr/share/doc/%s/%s\n' "$1" changelog.Debian.gz "$1" copyright
    if [[ -f debian/$1.lintian-overrides ]]; then echo "usr/share/lintian/overrides/$1"; fi
}
man_links=$(sed -n 's/^[a-z ]*\*\? *\(path[A-Za-z]*\)(.*/\1/p' include/ravlinpath/{Ravlin,System,Origin}C.h \
    | sed 's|.*|usr/share/man/man3/&.3.gz -> ravlinpath.3.gz|')
lib=usr/lib/$multiarch
check "libravlinpath1 files" "$({ echo "$lib/libravlinpath.so.1 -> libravlinpath.so.${version%-*}"
    echo "$lib/libravlinpath.so.${version%-*}"; doc libravlinpath1; } | sort)" "$(contents libravlinpath1)"
check "libravlinpath-dev files" "$({ printf 'usr/include/ravlinpath/%s.h\n' Base IniFile Origin OriginC Platform Ravlin RavlinC System SystemC
    printf "$lib/cmake/ravlinpath/%s.cmake\n" ravlinpathConfig ravlinpathConfigVersion ravlinpathTargets ravlinpathTargets-none \
        ravlinpathStaticTargets ravlinpathStaticTargets-none
    echo "$lib/libravlinpath.a"; echo "$lib/libravlinpath.so -> libravlinpath.so.1"; echo "$lib/pkgconfig/ravlinpath.pc"
    echo usr/share/man/man3/ravlinpath.3.gz; echo "$man_links"; doc libravlinpath-dev; } | sort)" "$(contents libravlinpath-dev)"
check "ravlin-path files" "$({ echo usr/bin/ravlin-path; echo usr/share/bash-completion/completions/ravlin-path
    echo usr/share/ravlinpath/ravlin-path.schema.json
    echo usr/share/man/man1/ravlin-path.1.gz; doc ravlin-path; } | sort)" "$(contents ravlin-path)"
check "python3-ravlinpath files" "$({ printf 'usr/lib/python3/dist-packages/ravlinpath/%s\n' __init__.abi3.so __init__.pyi \
    __main__.py py.typed; doc python3-ravlinpath; } | sort)" "$(contents python3-ravlinpath)"

# The symbols file matches the library exactly: one symbol lost or one new
# symbol not listed fails the check, as it fails the package build.
dpkg-deb -x "$(deb libravlinpath1)" "$work/root"
dpkg-deb -x "$(deb libravlinpath-dev)" "$work/root"
symbols=debian/libravlinpath1.symbols
gensymbols() {  # gensymbols SYMBOLS-FILE: the status of checking the library against it
    mkdir -p "$work/gensymbols/DEBIAN"
    dpkg-gensymbols -q -c4 -plibravlinpath1 -v"$version" -P"$work/gensymbols" -e"$work/root/$lib/libravlinpath.so.1" \
        -I"$1" -O"$work/gensymbols.out" >/dev/null 2>&1 && echo 0 || echo 1
}
check "symbols file matches the library" 0 "$(gensymbols $symbols)"
{ cat $symbols; echo ' pathRavlinGone@RAVLINPATH_1 1.0.0'; } >"$work/lost.symbols"
check "a lost symbol fails" 1 "$(gensymbols "$work/lost.symbols")"
grep -v 'pathRavlinExp@' $symbols >"$work/unlisted.symbols"
check "an unlisted symbol fails" 1 "$(gensymbols "$work/unlisted.symbols")"

# A program linked against the library depends on the package that has it,
# from the version that introduced the symbols it uses.
cc -o "$work/answer-c" tests/consumer/answer.c -I"$work/root/usr/include" -L"$work/root/$lib" -lravlinpath
c++ -std=c++20 -o "$work/answer-cxx" tests/consumer/answer.cpp -I"$work/root/usr/include" -L"$work/root/$lib" -lravlinpath
for program in answer-c answer-cxx; do
    depends=$(cd "$source" && dpkg-shlibdeps -O -l"debian/libravlinpath1/$lib" "$work/$program" 2>/dev/null)
    check "$program depends on" "libravlinpath1 (>= 1.0.0)" "$(grep -o 'libravlinpath1[^,]*' <<<"$depends")"
done

# autopkgtest installs the packages on this machine; they are purged again.
installed() { { dpkg-query -W -f '${db:Status-Status} ${Package}\n' "${packages[@]}" 2>/dev/null || true; } | awk '$1 == "installed" {print $2}' | xargs; }
installed=$(installed)
if [[ -n "$installed" ]]; then
    check "packages not installed before autopkgtest (purge them first)" "" "$installed"
else
    at_exit 'dpkg --purge "${packages[@]}" >/dev/null 2>&1'
    mkdir "$work/tests"
    cp -r "$source/debian" "$source/tests" "$work/tests/"
    echo "autopkgtest: installing the packages and running their tests"
    check_runs "autopkgtest" autopkgtest -q -o "$work/autopkgtest" "$(deb libravlinpath1)" "$(deb libravlinpath-dev)" \
        "$(deb ravlin-path)" "$(deb python3-ravlinpath)" "$work/tests" -- null
    grep -E '^(command|build|python) ' "$work/autopkgtest/summary" || true
    dpkg --purge "${packages[@]}" >/dev/null
    check "packages purged" "" "$(installed)"
fi

summary debian
