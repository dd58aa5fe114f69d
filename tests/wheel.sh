#!/usr/bin/env bash
# The wheel, built offline as pip builds it from a checkout, with Debian's
# python3, setuptools and wheel: one abi3 wheel that needs nothing beyond the
# C library and exports its init function alone. Installed into a fresh venv
# of each CPython from 3.9 on found here, it gives every answer the command
# gives, and its metadata the project's version.
#   wheel.sh COMMAND NSS_WRAPPER_LIBRARY SOURCE_DIR
set -euo pipefail
command=$1 nss_wrapper=$2 source=$3
. "$source/tests/checks.sh"
export PIP_NO_CACHE_DIR=1

if ! /usr/bin/python3 -c 'import setuptools, wheel, pip' 2>/dev/null; then
    echo "setuptools, wheel or pip is missing for /usr/bin/python3: the wheel is not built"
    exit 0
fi

# Each CPython 3.9 or later once, by its executable. Its venv is made while
# the wheel is built: pip's installation of itself into a venv takes seconds.
declare -A seen
venvs=()
for python in /usr/bin/python3 "${PYENV_ROOT:-$HOME/.pyenv}"/versions/*/bin/python3 $(compgen -c | grep -xE 'python3(\.[0-9]+)?' | sort -u); do
    read -r name executable < <("$python" -c 'import os, platform, sys
if sys.implementation.name == "cpython" and sys.version_info >= (3, 9):
    print(platform.python_version(), os.path.realpath(sys.executable))' 2>/dev/null) || continue
    [[ -z ${seen[$executable]:-} ]] || continue
    seen[$executable]=1
    venv=$work/venv-${#venvs[@]}
    "$python" -m venv "$venv" >"$venv.log" 2>&1 &
    venvs+=("$! $venv $name $python")
done
at_exit wait

# What the wheel is built from, copied so that the build leaves the tree alone.
mkdir "$work/tree"
cp -r "$source"/{CMakeLists.txt,LICENSE,README.md,pyproject.toml,setup.py,include,lib,python} "$work/tree"
quietly "$work/build.log" /usr/bin/python3 -m pip wheel --no-build-isolation --no-index --no-deps -w "$work/dist" "$work/tree"
wheel=$(echo "$work"/dist/*.whl)
version=$("$command" --version | awk '{print $2}')
check "one abi3 wheel for CPython 3.9 on" "ravlinpath-$version-cp39-abi3-linux_$(uname -m).whl" "${wheel##*/}"
/usr/bin/python3 -m zipfile -e "$wheel" "$work/unpacked"
module=$work/unpacked/ravlinpath/__init__.abi3.so
check "needs nothing beyond the C library" "" "$(readelf -d "$module" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' \
    | grep -vxE 'libc\.so\.6|libm\.so\.6|ld-linux[-a-z0-9_]*\.so\.[0-9]' || true)"
check "exports its init function alone" "PyInit_ravlinpath" "$(nm -D --defined-only "$module" | awk '{print $3}')"

mkdir "$work/bin"
install -m 755 /dev/null "$work/bin/evince"
as_nmr "$nss_wrapper"
scene=("${as_nmr[@]}" PATH="$work/bin" RAVLINHOME="/opt/r $(printf '\377')" LUMEVA="/l 'q'")
expected=$("${scene[@]}" "$command" --all)
cd "$work"
found=()
for job in "${venvs[@]}"; do
    read -r job venv name python <<<"$job"
    if ! wait "$job" || [[ ! -x $venv/bin/pip ]]; then
        echo "CPython $name ($python) makes no venv with pip: skipped"
        continue
    fi
    found+=("$name")
    check_runs "CPython $name: wheel installed" "$venv/bin/python" -m pip install --no-index --no-deps "$wheel"
    check "CPython $name: every answer is the command's" "$expected" "$("${scene[@]}" "$venv/bin/python" -m ravlinpath --all)"
    check "CPython $name: the version from the venv's metadata" "$version True" "$("${scene[@]}" "$venv/bin/python" -c \
        'import importlib.metadata, sys, ravlinpath; print(importlib.metadata.version("ravlinpath"), ravlinpath.__file__.startswith(sys.prefix))')"
done
echo "CPython 3.9 or later found: ${found[*]:-none}"
summary wheel
