// Test driver: answers the queries named on its command line in one process,
// one line each ("(null)" for a null answer, "(threw)" when a method throws),
// and reports on standard error how many allocations it saw.
//
//   probe [-k KIND] [-f N] [-t THREADS] [-w QUERY] ITEM...
//   -k KIND     sets PathBase::platform.kind before the first query
//   -f N        makes the Nth allocation fail (throwing new throws bad_alloc)
//   -t THREADS  asks the queries from that many threads at the same moment,
//               each starting at a different query, after the other items;
//               a query some thread answered otherwise prints "(differs)"
//   -w QUERY    asks QUERY in a thread of its own, 200 ms before the items;
//               after them prints "(busy)" when QUERY was not answered yet,
//               else "(done)", then its answer
//   ITEM        a query name, set:NAME=VALUE (changes the environment),
//               store:MEMBER=VALUE (stores a value as an embedding program
//               would), or origin:ANSWER (prints where that answer came from)

#include <ravlinpath/Base.h>
#include <ravlinpath/OriginC.h>
#include <ravlinpath/Ravlin.h>
#include <ravlinpath/RavlinC.h>
#include <ravlinpath/System.h>
#include <ravlinpath/SystemC.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <latch>
#include <new>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<long> allocations = 0;
long failingAllocation = 0;

// The kind as text, without allocating and without shared scratch space.
const char* kindText(int kind)
{
    static const char* const digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    return kind >= 0 && kind <= 9 ? digits[kind] : "(other)";
}

struct Query {
    const char* name;
    const char* (*answer)();
};

const Query queries[] = {
    {"pathRavlinHome", pathRavlinHome},
    {"pathRavlinProg", pathRavlinProg},
    {"pathRavlinExp", pathRavlinExp},
    {"pathRavlinExpStan", pathRavlinExpStan},
    {"pathRavlinConf", pathRavlinConf},
    {"pathRavlinPlot", pathRavlinPlot},
    {"pathRavlinLayout", pathRavlinLayout},
    {"pathRavlinPrint", pathRavlinPrint},
    {"pathRavlinDot", pathRavlinDot},
    {"pathRavlinCurDir", pathRavlinCurDir},
    {"pathRavlinAppDefaults", pathRavlinAppDefaults},
    {"pathRavlinHints", pathRavlinHints},
    {"pathRavlinDisklessInst", pathRavlinDisklessInst},
    {"pathRavlinDisklessRoot", pathRavlinDisklessRoot},
    {"pathRavlinDisklessLock", pathRavlinDisklessLock},
    {"pathRavlinPlatform", [] { return kindText(pathRavlinPlatform()); }},
    {"pathSystemPdfViewer", pathSystemPdfViewer},
    {"pathSystemLumeva", pathSystemLumeva},
    {"pathSystemUserHome", pathSystemUserHome},
    {"pathSystemTmpDir", pathSystemTmpDir},
    {"pathSystemPlatform", [] { return kindText(pathSystemPlatform()); }},
    {"docuDir", [] { return PathRavlin().docuDir(); }},
    {"expStanDir", [] { return PathRavlin().expStanDir(); }},
    {"userName", [] { return PathSystem().userName(); }},
    {"userProfile", [] { return PathBase::platform.userProfile(); }},
    {"analysisRegistry", [] { return PathBase::platform.analysisRegistry(); }},
    {"fennetProg", [] { return PathBase::platform.fennetProg(); }},
    {"fennetExe", [] { return PathBase::platform.fennetExe(); }},
    {"fennetWin", [] { return PathBase::platform.fennetWin(); }},
    {"briskoPath", [] { return PathSystem().briskoPath(); }},
    {"quambyPath", [] { return PathSystem().quambyPath(); }},
    {"originCurDir", [] { return pathOrigin("cur_dir"); }},
    {"originFennetProg", [] { return pathOrigin("fennet_prog"); }},
    // What it reads depends on whether the Fennet group exists yet; what
    // counts is that it reads the registry's name safely meanwhile.
    {"readSettings",
     [] {
         thread_local char prog[4097];
         PathPlatform::Fennet::readSettings("Zoltra-Fennet", prog, nullptr, nullptr, 4096);
         return "(read)";
     }},
};

struct Member {
    const char* name;
    char*& value;
};

const Member members[] = {
    {"expStanPath", PathRavlin::expStanPath},
    {"expPath", PathRavlin::expPath},
    {"dotPath", PathRavlin::dotPath},
    {"curDirPath", PathRavlin::curDirPath},
    {"tmpDir", PathSystem::tmpDir},
    {"User::home", PathPlatform::User::home},
    {"Fennet::prog", PathPlatform::Fennet::prog},
    {"Fennet::exe", PathPlatform::Fennet::exe},
    {"Quamby::path", PathPlatform::Quamby::path},
};

const Query& queryNamed(const char* name)
{
    for (const Query& query : queries)
        if (std::strcmp(query.name, name) == 0)
            return query;
    std::fprintf(stderr, "unknown query %s\n", name);
    std::exit(2);
}

// Allocates nothing of its own, so that the allocations counted are the
// library's.
const char* answerOf(const Query& query)
{
    try {
        const char* text = query.answer();
        return text ? text : "(null)";
    } catch (...) {
        return "(threw)";
    }
}

// Every thread asks every query, thread t starting at query t.
void answerFromThreads(const std::vector<const Query*>& asked, int threadCount)
{
    const std::size_t count = asked.size();
    std::vector<std::vector<const char*>> answers(threadCount, std::vector<const char*>(count));
    std::latch start(1);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t)
        threads.emplace_back([&, t] {
            start.wait();
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t at = (t + i) % count;
                answers[t][at] = answerOf(*asked[at]);
            }
        });
    allocations = 0;
    start.count_down();
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t at = 0; at < count; ++at) {
        bool same = true;
        for (const auto& answered : answers)
            same = same && std::strcmp(answered[at], answers[0][at]) == 0;
        std::printf("%s\n", same ? answers[0][at] : "(differs)");
    }
}

// The library may replace a stored value; it stays reachable from here, as
// an embedding program's own value would.
char* storedValues[16];
int storedCount = 0;

void store(const char* assignment)
{
    const char* equals = std::strchr(assignment, '=');
    for (const Member& member : members)
        if (equals && storedCount < 16 && std::strncmp(member.name, assignment, equals - assignment) == 0
            && member.name[equals - assignment] == '\0') {
            member.value = storedValues[storedCount++] = strdup(equals + 1);
            return;
        }
    std::fprintf(stderr, "unknown member %s\n", assignment);
    std::exit(2);
}

}

// ThreadSanitizer brings its own operator new: under it, allocations are
// neither counted nor made to fail.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define PROBE_KEEPS_OPERATOR_NEW
#endif
#endif

#ifndef PROBE_KEEPS_OPERATOR_NEW
static bool nextAllocationFails()
{
    return ++allocations == failingAllocation;
}

// The replacements stay out of line: inlined, they would show the compiler
// malloc() paired with operator delete, or operator new with free(), which it
// takes for mismatches.
[[gnu::noinline]] void* operator new(std::size_t size)
{
    void* memory = nextAllocationFails() ? nullptr : std::malloc(size ? size : 1);
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

[[gnu::noinline]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return nextAllocationFails() ? nullptr : std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete[](void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
#endif

int main(int argc, char** argv)
{
    int threadCount = 0;
    const Query* waited = nullptr;
    for (int option; (option = getopt(argc, argv, "k:f:t:w:")) != -1;) {
        if (option == 'k')
            PathBase::platform.kind = std::atoi(optarg);
        else if (option == 'f')
            failingAllocation = std::atol(optarg);
        else if (option == 't')
            threadCount = std::atoi(optarg);
        else if (option == 'w')
            waited = &queryNamed(optarg);
        else
            return 2;
    }
    allocations = 0;
    std::atomic<const char*> waitedAnswer = nullptr;
    std::thread waiting;
    if (waited) {
        waiting = std::thread([&] { waitedAnswer = answerOf(*waited); });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    std::vector<const Query*> asked;
    for (int i = optind; i < argc; ++i) {
        if (std::strncmp(argv[i], "set:", 4) == 0)
            putenv(argv[i] + 4);
        else if (std::strncmp(argv[i], "store:", 6) == 0)
            store(argv[i] + 6);
        else if (std::strncmp(argv[i], "origin:", 7) == 0)
            std::printf("%s", pathOrigin(argv[i] + 7));
        else if (threadCount > 0)
            asked.push_back(&queryNamed(argv[i]));
        else
            std::printf("%s\n", answerOf(queryNamed(argv[i])));
    }
    if (threadCount > 0)
        answerFromThreads(asked, threadCount);
    if (waited) {
        std::printf("%s\n", waitedAnswer ? "(done)" : "(busy)");
        waiting.join();
        std::printf("%s\n", waitedAnswer.load());
    }
    std::fprintf(stderr, "allocations %ld\n", allocations.load());
    return 0;
}
