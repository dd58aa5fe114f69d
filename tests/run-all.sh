#!/usr/bin/env bash
# Builds and runs every test: the release build with g++ (unit, packaging and
# memcheck tests, and the Python module's tests with Debian's python3), the
# same with g++-11 where it is installed and with clang++,
# the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, the
# thread test under ThreadSanitizer, the registry reader's tests in 32 bits,
# the fuzz targets, the Debian and RPM packages, and the benchmarks, which
# fail when a keyword's start-up costs over 1.20 times the instructions of
# its C reference. Warnings are errors. A stage that fails does not stop the
# others; the last line counts them: "N passed, M failed".
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/checks.sh
fuzz_runs=${FUZZ_RUNS:-1000000}
strict=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DBUILD_TESTING=ON)
# A python3 earlier on PATH may lack Debian's packages (pytest among them).
python=(-DRAVLINPATH_PYTHON=ON -DPython3_EXECUTABLE=/usr/bin/python3)
# Run by the first build alone: the packaging, memcheck, the wheel, the
# Ansible facts and the 50-second lease test.
once_only='Packaging|Memcheck|Wheel|AnsibleFacts|OutlivesTheWait'

configure() {  # configure DIR C-COMPILER C++-COMPILER CMAKE-OPTIONS...
    local dir=$1 cc=$2 cxx=$3
    shift 3
    CC=$cc CXX=$cxx cmake -S . -B "$dir" "${strict[@]}" "$@" >/dev/null
}

build() {  # build DIR C-COMPILER C++-COMPILER CMAKE-OPTIONS...
    configure "$@"
    cmake --build "$1" -j"$(nproc)"
}

# The first build's long tests run one by one, each announced.
release_gcc() {
    build build gcc g++ -DCMAKE_BUILD_TYPE=Release "${python[@]}"
    ctest --test-dir build --output-on-failure -E 'Packaging|Memcheck|Wheel|OutlivesTheWait'
    echo "-- a registry file leased past the reader's wait (50 s)"
    ctest --test-dir build --output-on-failure -R OutlivesTheWait
    echo "-- installed into a prefix: consumers, man pages, completion, tarball, vendored builds (about a minute)"
    ctest --test-dir build --output-on-failure -R Packaging
    echo "-- every keyword and option under valgrind's memcheck (about half a minute)"
    ctest --test-dir build --output-on-failure -R Memcheck
    echo "-- the wheel, installed into a fresh venv of each CPython found (about a minute)"
    ctest --test-dir build --output-on-failure -R Wheel
}

release_gcc11() {
    if ! command -v g++-11 >/dev/null; then
        echo "g++-11 is not installed (.ci/run installs it where the release has it): skipped"
        return
    fi
    build build-gcc11 gcc-11 g++-11 -DCMAKE_BUILD_TYPE=Release "${python[@]}"
    ctest --test-dir build-gcc11 --output-on-failure -E "$once_only"
}

release_clang() {
    build build-clang clang clang++ -DCMAKE_BUILD_TYPE=Release "${python[@]}"
    ctest --test-dir build-clang --output-on-failure -E "$once_only"
}

sanitizers() {
    build build-sanitize gcc g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLINPATH_SANITIZE=ON
    ctest --test-dir build-sanitize --output-on-failure -E OutlivesTheWait
}

# Assertions check that no thread ever takes a lock while it holds another.
threads() {
    build build-tsan clang clang++ -DCMAKE_BUILD_TYPE=Debug -DRAVLINPATH_THREAD_SANITIZE=ON
    ctest --test-dir build-tsan --output-on-failure -R 'Library\.Answers(EveryThreadAlike|WhileAnotherWaits)'
}

# A 32-bit build runs only these: nss_wrapper has no 32-bit build here.
reader_m32() {
    build build-m32 gcc g++ -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS=-m32 -DCMAKE_CXX_FLAGS=-m32
    # Large-file support shows in what the library imports, whether or not
    # this kernel runs 32-bit programs.
    local imports status=0
    imports=$(nm -D --undefined-only build-m32/libravlinpath.so | awk '{sub(/@.*/, "", $2); print $2}')
    check "32-bit library opens and stats files with the 64-bit calls" "fstat64 open64 stat64" \
        "$(grep -xE '(open|fstat|stat)(64)?' <<<"$imports" | sort | paste -sd ' ' -)"
    ((failures == 0))
    # The shell reports 126 when the kernel cannot execute the program at all.
    build-m32/ravlin-path --version >/dev/null 2>&1 || status=$?
    if ((status == 126)); then
        echo "this kernel runs no 32-bit program: the 32-bit reader tests were built but not run"
    else
        ctest --test-dir build-m32 --output-on-failure
    fi
}

fuzzing() {
    configure build-fuzz clang clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVLINPATH_FUZZ=ON -DBUILD_TESTING=OFF
    cmake --build build-fuzz -j"$(nproc)" --target profile_fuzzer search_fuzzer
    for target in profile search; do
        echo "-- fuzzing $target"
        mkdir -p "$work/$target"
        if ! quietly "$work/$target.log" build-fuzz/fuzz/${target}_fuzzer -runs="$fuzz_runs" -print_final_stats=1 \
            -artifact_prefix="$work/" "$work/$target" "fuzz/corpus/$target"; then
            echo "fuzz target $target found a fault"
            return 1
        fi
        grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log"
    done
}

stages_passed=0 stages_failed=0
stage() {  # stage TITLE COMMAND...: runs COMMAND, stopping it at its first failing command, and counts it
    echo "== $1"
    local status=0
    set +e
    (
        set -e
        "${@:2}"
    )
    status=$?
    set -e
    if ((status == 0)); then
        stages_passed=$((stages_passed + 1))
    else
        stages_failed=$((stages_failed + 1))
        echo "FAILED: $1"
    fi
}

stage "g++, release" release_gcc
stage "g++-11, release: the oldest compiler sites build with (RHEL 9, Ubuntu 22.04)" release_gcc11
stage "clang++, release" release_clang
stage "g++, AddressSanitizer and UndefinedBehaviorSanitizer" sanitizers
stage "clang++, ThreadSanitizer and assertions: first queries from many threads at once" threads
stage "g++ -m32, the registry reader's tests" reader_m32
stage "libFuzzer, $fuzz_runs runs per target" fuzzing
stage "Debian packages: lintian, file lists, symbols, dependencies, autopkgtest" tests/debian.sh
stage "RPM packages: rpmlint, file lists, dependencies, hardening, installed consumers" tests/rpm.sh
stage "start-up cost against the C reference programs" bench/run --ceiling 1.20
echo "$stages_passed passed, $stages_failed failed"
((stages_failed == 0))
