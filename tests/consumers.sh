#!/usr/bin/env bash
# Builds a C and a C++ program against an installed ravlinpath as users do,
# with pkg-config and with CMake (the C one in a C-only project), each against
# the shared library and the archive, and runs them; and the C++ one with
# CMake against a copy of the installation without the archive.
# Usage: consumers.sh [PREFIX]   (without PREFIX: the system's installation)
set -euo pipefail
consumer=$(cd "$(dirname "$0")/consumer" && pwd)
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

if (($#)); then
    pkgconfig=$(dirname "$(find "$1" -path '*/pkgconfig/ravlinpath.pc' | head -n 1)")
    export PKG_CONFIG_PATH=$pkgconfig LD_LIBRARY_PATH=$(dirname "$pkgconfig") CMAKE_PREFIX_PATH=$1
fi
source "$consumer/answers.sh"

cc -std=c99 -Wall -Werror -o "$work/c" "$consumer/answer.c" $(pkg-config --cflags --libs ravlinpath)
check "C with pkg-config" "$c_answer" "$("$work/c")"
c++ -std=c++20 -Wall -Werror -o "$work/cxx" "$consumer/answer.cpp" $(pkg-config --cflags --libs ravlinpath)
check "C++ with pkg-config" "$cxx_answer" "$("$work/cxx")"
# The README's static link: the archive, with the C++ runtime and libm that
# Libs.private names kept shared, so that it needs no archive but the
# library's and the compiler's own (libgcc, libgcc_eh, libc_nonshared).
check "Libs.private is what the static link keeps shared" "-lravlinpath -lstdc++ -lm" "$(pkg-config --static --libs-only-l ravlinpath | xargs)"
cc -std=c99 -Wall -Werror -o "$work/c-static" "$consumer/answer.c" $(pkg-config --cflags ravlinpath) \
    -Wl,-Bstatic $(pkg-config --libs ravlinpath) -Wl,-Bdynamic -lstdc++ -lm -Wl,--trace >"$work/c-static.trace"
check "C with the archive" "$c_answer" "$("$work/c-static")"
check "static C program needs no libravlinpath" "" "$(ldd "$work/c-static" | grep ravlinpath || true)"
check "static C link opens no other archive" "" \
    "$(grep '\.a$' "$work/c-static.trace" | grep -vE '/lib(ravlinpath|gcc|gcc_eh|c_nonshared)\.a$' | sort -u)"
c++ -std=c++20 -Wall -Werror -o "$work/cxx-static" "$consumer/answer.cpp" $(pkg-config --cflags ravlinpath) \
    -Wl,-Bstatic $(pkg-config --libs ravlinpath) -Wl,-Bdynamic -lstdc++ -lm
check "C++ with the archive" "$cxx_answer" "$("$work/cxx-static")"

build_consumer() { cmake -S "$1" -B "$2" "${@:3}" && cmake --build "$2"; }
find_package_consumer() {  # find_package_consumer NAME SOURCE ANSWER ARCHIVE-ANSWER [CMAKE-OPTIONS...]
    local build
    build=$(mktemp -d "$work/cmake-XXXX")
    if ! quietly "$build.log" build_consumer "$2" "$build" "${@:5}"; then
        check "$1 with find_package builds" "yes" "no"
        return
    fi
    check "$1 with find_package" "$3" "$("$build/answer")"
    check "$1 with find_package, archive" "$4" "$([[ ! -e "$build/answer_static" ]] || "$build/answer_static")"
}
find_package_consumer C "$consumer/c" "$c_answer" "$c_answer"
find_package_consumer C++ "$consumer" "$cxx_answer" "$cxx_answer"

# Distributions that package the archive apart leave it and its targets file
# out of a plain development installation: the CMake package still loads,
# without the archive's target.
prefix=$(pkg-config --variable=prefix ravlinpath) libdir=$(pkg-config --variable=libdir ravlinpath)
libdir=${libdir#"$prefix"/} apart=$work/archive-apart
mkdir "$apart"
(cd "$prefix" && cp -a --parents include/ravlinpath "$libdir"/libravlinpath.so* "$libdir/cmake/ravlinpath" "$apart")
rm "$apart/$libdir"/cmake/ravlinpath/ravlinpathStaticTargets*.cmake
find_package_consumer "C++, archive packaged apart," "$consumer" "$cxx_answer" "" -Dravlinpath_DIR="$apart/$libdir/cmake/ravlinpath"

summary consumers
