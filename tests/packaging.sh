#!/usr/bin/env bash
# Installs into a fresh prefix and uses the result as a user would:
# pkg-config and CMake consumers, the exported symbols, the man pages, the
# completion and the tarball; and builds ravlinpath inside other CMake
# projects and on its own, without its test tools.
# Usage: packaging.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name libravlinpath.so)")
export RAVLINHOME=/opt/r

check "installed command" "/opt/r/prog" "$(env -u LD_LIBRARY_PATH "$prefix/bin/ravlin-path" prog)"
# The Python module, where it was built with an install RUNPATH (distribution
# builds leave it out), finds the library from where it lies.
module_answers() {  # module_answers ROOT: what the module below ROOT answers, imported as installed
    local module
    module=$(find "$1" -name '__init__.abi3.so')
    [[ -z "$module" ]] || PYTHONPATH=$(dirname "$(dirname "$module")") env -u LD_LIBRARY_PATH /usr/bin/python3 \
        -c 'import ravlinpath; print(ravlinpath.prog_dir())' 2>&1
}
runpath=$([[ -e "$build/python" ]] && ! grep -qx 'CMAKE_SKIP_INSTALL_RPATH:BOOL=ON' "$build/CMakeCache.txt" && echo yes || true)
[[ -z "$runpath" ]] || check "installed Python module" "/opt/r/prog" "$(module_answers "$prefix")"
"$source/tests/consumers.sh" "$prefix" || failures=$((failures + 1))

# pkg-config leaves out the system's directories, so a /usr installation
# needs no flags but the library.
DESTDIR=$work/root cmake --install "$build" --prefix /usr >/dev/null
pc_flags() {  # pc_flags ROOT: what pkg-config gives for the installation below ROOT
    PKG_CONFIG_PATH=$(dirname "$(find "$1" -name ravlinpath.pc)") pkg-config --cflags --libs ravlinpath | sed 's/ *$//'
}
check "pkg-config flags of a /usr installation" "-lravlinpath" "$(pc_flags "$work/root")"
check "pkg-config flags of a prefix installation" "-I$prefix/include -L$libdir -lravlinpath" "$(pc_flags "$prefix")"

exported=$(nm -D --defined-only "$libdir/libravlinpath.so.1" | awk '$2 != "A" {print $3}' | c++filt \
    | grep -v -E '^(path(Ravlin|System)[A-Za-z]+|pathOrigin|(PathBase|PathOrigin|PathPlatform|PathRavlin|PathSystem)::.*|readProfileString\(.*\))@@RAVLINPATH_1$' || true)
check "only the public names exported" "" "$exported"
check "archive defines no other global names" "" "$(archive_globals "$libdir/libravlinpath.a")"
check "SONAME" "libravlinpath.so.1" "$(objdump -p "$libdir/libravlinpath.so" | awk '$1 == "SONAME" {print $2}')"

for page in man1/ravlin-path.1 man3/ravlinpath.3; do
    check "$page warnings" "" "$(groff -man -ww -z "$prefix/share/man/$page" 2>&1)"
    check "$page renders quietly" "" "$(MANWIDTH=80 man -l "$prefix/share/man/$page" 2>&1 >/dev/null)"
done
check "man page indexed" "ravlin-path" "$(lexgrog "$prefix/share/man/man1/ravlin-path.1" | sed 's/.*: "\([^ ]*\) - .*/\1/')"

complete_word() {  # complete_word WORD...: what the installed completion offers for the last word, sorted
    bash -c 'source "$1"; shift; COMP_WORDS=(ravlin-path "$@"); COMP_CWORD=$#; _ravlin_path; printf "%s\n" "${COMPREPLY[@]}"' \
        _ "$prefix/share/bash-completion/completions/ravlin-path" "$@" | sort | paste -sd ' ' -
}
keywords=$({ "$build/ravlin-path" || true; } | sed 's/^missing argument: //; s/,//g; s/ or / /' | tr ' ' '\n' | sort | paste -sd ' ' -)
check "completion offers the keywords" "$keywords" "$(complete_word "")"
check "completion narrows" "pdf plot print prog" "$(complete_word p)"
options=$("$build/ravlin-path" --help | grep -oE '^ +(-h, )?--[a-z]+' | grep -oE -- '-+[a-z]+' | sort | paste -sd ' ' -)
check "completion offers the options of --help" "$options" "$(complete_word -)"
check "completion narrows options" "--shell" "$(complete_word --s)"
check "completion offers keywords after --explain" "pdf plot print prog" "$(complete_word --explain p)"
for words in "--all -" "--check -" "--explain -" "--explain exp -"; do
    check "completion offers --json after ${words% -}" "--json" "$(complete_word $words)"
done
check "completion offers nothing after --shell" "" "$(complete_word --shell -)"
check "JSON schema installed" "$prefix/share/ravlinpath/ravlin-path.schema.json" "$(ls "$prefix"/share/ravlinpath/*.json)"

(cd "$build" && cpack -G TGZ -B "$work/packages") >/dev/null 2>&1
tarball=$(ls "$work"/packages/ravlinpath-*.tar.gz)
check "tarball carries the licence" "1" "$(tar -tzf "$tarball" | grep -c '/share/doc/ravlinpath/LICENSE$')"
# Unpacked elsewhere, with cpack's staging directory gone.
rm -r "$work/packages/_CPack_Packages"
mkdir "$work/unpacked"
tar -xzf "$tarball" -C "$work/unpacked"
"$source/tests/consumers.sh" "$work"/unpacked/ravlinpath-* || failures=$((failures + 1))
[[ -z "$runpath" ]] || check "unpacked Python module" "/opt/r/prog" "$(module_answers "$work/unpacked")"

# ravlinpath built along with projects that have tests of their own, and on
# its own, where GoogleTest, nss_wrapper and valgrind are not found: its tests
# are left out (with a note, at the top level) unless they are asked for.
no_test_tools=(-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DNSS_WRAPPER_LIBRARY= -DVALGRIND=)
build_tree() { cmake -B "$@" "${no_test_tools[@]}" && cmake --build "$1" -j"$(nproc)"; }
configure_and_build() {  # configure_and_build DIR CMAKE-OPTIONS...: without the test tools, logged to DIR.log
    quietly "$1.log" build_tree "$@" || true
}
source "$source/tests/consumer/answers.sh"
for vendor in add_subdirectory FetchContent; do
    for language in C CXX; do
        dir=$work/$vendor-$language answer=$cxx_answer
        [[ $language == CXX ]] || answer=$c_answer
        configure_and_build "$dir" -S "$source/tests/consumer/vendored" -DVENDOR=$vendor -DLANGUAGE=$language \
            -DRAVLINPATH_SOURCE_DIR="$source"
        check "$language project taking ravlinpath in with $vendor" "$answer $answer" \
            "$("$dir/answer" 2>&1) $("$dir/answer_static" 2>&1)"
    done
done
configure_and_build "$work/top" -S "$source"
check "top level without the test tools: the note" "Tests left out: GoogleTest, nss_wrapper, valgrind not found" \
    "$(grep 'Tests left out' "$work/top.log")"
check "top level without the test tools: the command" "/opt/r/prog" "$("$work/top/ravlin-path" prog 2>&1)"
asked_for() {  # asked_for CMAKE-OPTIONS...: 1 when configuring fails on the missing tools
    rm -rf "$work/asked"
    configure_and_build "$work/asked" "$@" >/dev/null
    grep -c 'Tests need GoogleTest' "$work/asked.log" || true
}
check "tests asked for at the top level without their tools: an error" 1 "$(asked_for -S "$source" -DBUILD_TESTING=ON)"
check "tests asked for by a project taking ravlinpath in, without their tools: an error" 1 \
    "$(asked_for -S "$source/tests/consumer/vendored" -DRAVLINPATH_TESTS=ON -DLANGUAGE=C -DRAVLINPATH_SOURCE_DIR="$source")"

summary packaging
