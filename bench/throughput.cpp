// Cost of a cached query (every call after the first answers a held string)
// and throughput of readProfileString with the key at the end of the file.

#include <ravlinpath/IniFile.h>
#include <ravlinpath/RavlinC.h>
#include <ravlinpath/SystemC.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Set here rather than with --benchmark_min_time, whose value libbenchmark
// 1.8 wants with a unit suffix and 1.7 refuses with one.
constexpr double minSeconds = 0.2;

void cachedQuery(benchmark::State& state, const char* (*query)())
{
    query();
    for (auto _ : state)
        benchmark::DoNotOptimize(query());
}
BENCHMARK_CAPTURE(cachedQuery, pathRavlinExp, pathRavlinExp)->MinTime(minSeconds);
BENCHMARK_CAPTURE(cachedQuery, pathRavlinDot, pathRavlinDot)->MinTime(minSeconds);
BENCHMARK_CAPTURE(cachedQuery, pathSystemUserHome, pathSystemUserHome)->MinTime(minSeconds);
BENCHMARK_CAPTURE(cachedQuery, pathSystemPdfViewer, pathSystemPdfViewer)->MinTime(minSeconds);

// A registry file of about the given size whose key is in its last line.
std::string registryOf(std::size_t bytes)
{
    char path[] = "/tmp/ravlinpath-bench-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        std::abort();
    FILE* file = fdopen(fd, "w");
    std::fputs("[Zoltra-Fennet]\n", file);
    for (std::size_t written = 0; written < bytes; written += 32)
        std::fputs("Filler=/usr/prog/zoltra-fennet\n", file);
    std::fputs("ProgPath=/opt/zf\n", file);
    std::fclose(file);
    return path;
}

void readProfile(benchmark::State& state)
{
    const std::string file = registryOf(state.range(0));
    char out[4097] = {};
    for (auto _ : state)
        benchmark::DoNotOptimize(readProfileString("Zoltra-Fennet", "ProgPath", "", out, 4096, file.c_str()));
    state.SetBytesProcessed(state.iterations() * state.range(0));
    unlink(file.c_str());
}
BENCHMARK(readProfile)->Arg(1 << 10)->Arg(1 << 20)->Arg(50 << 20)->Unit(benchmark::kMicrosecond)->MinTime(minSeconds);

}

BENCHMARK_MAIN();
