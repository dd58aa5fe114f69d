#!/usr/bin/env bash
# Installs into a fresh prefix and uses the result as a user would:
# pkg-config and CMake consumers, the exported symbols, the .deb, the man page
# and the completion.  Usage: packaging.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
check() {  # check NAME EXPECTED ACTUAL
    if [[ "$2" == "$3" ]]; then echo "ok: $1"; else echo "FAILED: $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null
export RAVLINHOME=/opt/r TAZLO_HOME=/opt/t
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig

check "installed command" "/opt/r/prog" "$(env -u LD_LIBRARY_PATH "$prefix/bin/ravlin-path" prog)"

cc -std=c99 -Wall -Werror -o "$work/c-shared" "$source/tests/consumer/answer.c" $(pkg-config --cflags --libs ravlinpath)
check "C with pkg-config" "/opt/r/prog /tmp 0" "$(LD_LIBRARY_PATH=$prefix/lib "$work/c-shared")"
cc -std=c99 -Wall -Werror -o "$work/c-static" "$source/tests/consumer/answer.c" $(pkg-config --cflags ravlinpath) \
    -Wl,-Bstatic $(pkg-config --static --libs ravlinpath) -Wl,-Bdynamic
check "C with pkg-config --static" "/opt/r/prog /tmp 0" "$("$work/c-static")"
check "static C program needs no libravlinpath" "" "$(ldd "$work/c-static" | grep ravlinpath || true)"

cmake -S "$source/tests/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
check "C++ with find_package" "/opt/t/prog/docu dflt 0" "$("$work/consumer/answer")"
check "C++ with find_package, archive" "/opt/t/prog/docu dflt 0" "$("$work/consumer/answer_static")"

exported=$(nm -D --defined-only "$prefix/lib/libravlinpath.so.1" | awk '$2 != "A" {print $3}' | c++filt \
    | grep -v -E '^(path(Ravlin|System)[A-Za-z]+|(PathBase|PathPlatform|PathRavlin|PathSystem)::.*|readProfileString\(.*\))@@RAVLINPATH_1$' || true)
check "only the public names exported" "" "$exported"
global=$(nm -C --defined-only "$prefix/lib/libravlinpath.a" | awk 'NF >= 3 && $2 ~ /[A-Z]/ {$1 = $2 = ""; print substr($0, 3)}' \
    | grep -v -E '^(path(Ravlin|System)[A-Za-z]+|(PathBase|PathPlatform|PathRavlin|PathSystem)::.*|readProfileString\(.*\)|.*ravlinpath::.*|DW\.ref\.__gxx_personality_v0)$' | sort -u || true)
check "archive defines no other global names" "" "$global"
check "SONAME" "libravlinpath.so.1" "$(objdump -p "$prefix/lib/libravlinpath.so" | awk '$1 == "SONAME" {print $2}')"

for page in man1/ravlin-path.1 man3/ravlinpath.3; do
    check "$page warnings" "" "$(groff -man -ww -z "$prefix/share/man/$page" 2>&1)"
    check "$page renders quietly" "" "$(MANWIDTH=80 man -l "$prefix/share/man/$page" 2>&1 >/dev/null)"
done
check "man page indexed" "ravlin-path" "$(lexgrog "$prefix/share/man/man1/ravlin-path.1" | sed 's/.*: "\([^ ]*\) - .*/\1/')"

complete_word() {  # complete_word WORD: what the installed completion offers, sorted
    bash -c 'source "$1"; COMP_WORDS=(ravlin-path "$2"); COMP_CWORD=1; _ravlin_path; printf "%s\n" "${COMPREPLY[@]}"' \
        _ "$prefix/share/bash-completion/completions/ravlin-path" "$1" | sort | paste -sd ' ' -
}
keywords=$({ "$build/ravlin-path" || true; } | sed 's/^missing argument: //; s/,//g; s/ or / /' | tr ' ' '\n' | sort | paste -sd ' ' -)
check "completion offers the keywords" "$keywords" "$(complete_word "")"
check "completion narrows" "pdf plot print prog" "$(complete_word p)"
options=$("$build/ravlin-path" --help | grep -oE '^ +(-h, )?--[a-z]+' | grep -oE -- '-+[a-z]+' | sort | paste -sd ' ' -)
check "completion offers the options of --help" "$options" "$(complete_word -)"
check "completion narrows options" "--shell" "$(complete_word --s)"

(cd "$build" && cpack -G DEB -B "$work/packages" && cpack -G TGZ -B "$work/packages") >/dev/null 2>&1
deb=$(ls "$work"/packages/ravlinpath_*_*.deb)
check "Debian file name" "ravlinpath_1.0.0_$(dpkg --print-architecture).deb" "$(basename "$deb")"
check "library dependencies computed" "1" "$(dpkg-deb -f "$deb" Depends | grep -c 'libc6')"
dpkg-deb -x "$deb" "$work/unpacked"
check "command from the .deb" "/opt/r/prog" "$("$work/unpacked/usr/bin/ravlin-path" prog)"
for file in usr/lib/libravlinpath.so.1 usr/include/ravlinpath/RavlinC.h usr/lib/pkgconfig/ravlinpath.pc \
    usr/lib/cmake/ravlinpath/ravlinpathConfig.cmake usr/share/man/man1/ravlin-path.1 usr/share/man/man3/ravlinpath.3 \
    usr/share/bash-completion/completions/ravlin-path; do
    check "$file in the .deb" "yes" "$([[ -e "$work/unpacked/$file" ]] && echo yes || echo no)"
done
check "tarball" "1" "$(ls "$work"/packages/ravlinpath-1.0.0-*.tar.gz | wc -l)"

echo "$failures failed"
((failures == 0))
