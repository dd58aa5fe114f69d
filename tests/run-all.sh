#!/usr/bin/env bash
# Builds and runs every test: the release build with g++ (unit, packaging and
# memcheck tests, and the Python module's tests with Debian's python3), the
# same with g++-11 where it is installed and with clang++,
# the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, the
# thread test under ThreadSanitizer, the registry reader's tests in 32 bits,
# the fuzz targets, the Debian and RPM packages, and the benchmarks, which
# fail when a keyword's start-up costs over 1.20 times the instructions of
# its C reference. Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/checks.sh
fuzz_runs=${FUZZ_RUNS:-1000000}
strict=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DBUILD_TESTING=ON)
# A python3 earlier on PATH may lack Debian's packages (pytest among them).
python=(-DRAVLINPATH_PYTHON=ON -DPython3_EXECUTABLE=/usr/bin/python3)
# Run by the first build alone: the packaging, memcheck and the 50-second
# lease test.
once_only='Packaging|Memcheck|OutlivesTheWait'

configure() {  # configure DIR C-COMPILER C++-COMPILER CMAKE-OPTIONS...
    local dir=$1 cc=$2 cxx=$3
    shift 3
    CC=$cc CXX=$cxx cmake -S . -B "$dir" "${strict[@]}" "$@" >/dev/null
}

build() {  # build DIR C-COMPILER C++-COMPILER CMAKE-OPTIONS...
    configure "$@"
    cmake --build "$1" -j"$(nproc)"
}

echo "== g++, release"
build build gcc g++ -DCMAKE_BUILD_TYPE=Release "${python[@]}"
ctest --test-dir build --output-on-failure

echo "== g++-11, release: the oldest compiler sites build with (RHEL 9, Ubuntu 22.04)"
if command -v g++-11 >/dev/null; then
    build build-gcc11 gcc-11 g++-11 -DCMAKE_BUILD_TYPE=Release "${python[@]}"
    ctest --test-dir build-gcc11 --output-on-failure -E "$once_only"
else
    echo "g++-11 is not installed (.ci/run installs it where the release has it): skipped"
fi

echo "== clang++, release"
build build-clang clang clang++ -DCMAKE_BUILD_TYPE=Release "${python[@]}"
ctest --test-dir build-clang --output-on-failure -E "$once_only"

echo "== g++, AddressSanitizer and UndefinedBehaviorSanitizer"
build build-sanitize gcc g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLINPATH_SANITIZE=ON
ctest --test-dir build-sanitize --output-on-failure -E OutlivesTheWait

echo "== clang++, ThreadSanitizer and assertions: first queries from many threads at once"
# Assertions check that no thread ever takes a lock while it holds another.
build build-tsan clang clang++ -DCMAKE_BUILD_TYPE=Debug -DRAVLINPATH_THREAD_SANITIZE=ON
ctest --test-dir build-tsan --output-on-failure -R 'Library\.Answers(EveryThreadAlike|WhileAnotherWaits)'

echo "== g++ -m32, the registry reader's tests"
# A 32-bit build runs only these: nss_wrapper has no 32-bit build here.
build build-m32 gcc g++ -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS=-m32 -DCMAKE_CXX_FLAGS=-m32
# Large-file support shows in what the library imports, whether or not this
# kernel runs 32-bit programs.
imports=$(nm -D --undefined-only build-m32/libravlinpath.so | awk '{sub(/@.*/, "", $2); print $2}')
check "32-bit library opens and stats files with the 64-bit calls" "fstat64 open64 stat64" \
    "$(grep -xE '(open|fstat|stat)(64)?' <<<"$imports" | sort | paste -sd ' ' -)"
((failures == 0))
# The shell reports 126 when the kernel cannot execute the program at all.
status=0
build-m32/ravlin-path --version >/dev/null 2>&1 || status=$?
if ((status == 126)); then
    echo "this kernel runs no 32-bit program: the 32-bit reader tests were built but not run"
else
    ctest --test-dir build-m32 --output-on-failure
fi

echo "== libFuzzer, $fuzz_runs runs per target"
configure build-fuzz clang clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLINPATH_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build build-fuzz -j"$(nproc)" --target profile_fuzzer search_fuzzer
for target in profile search; do
    mkdir -p "$work/$target"
    if ! build-fuzz/fuzz/${target}_fuzzer -runs="$fuzz_runs" -print_final_stats=1 -artifact_prefix="$work/" \
        "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
        tail -n 40 "$work/$target.log"
        echo "fuzz target $target found a fault"
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log"
done
echo "fuzzing: 2 passed, 0 failed"

echo "== Debian packages: lintian, file lists, symbols, dependencies, autopkgtest"
tests/debian.sh

echo "== RPM packages: rpmlint, file lists, dependencies, hardening, installed consumers"
tests/rpm.sh

echo "== start-up cost against the C reference programs"
bench/run --ceiling 1.20
