// Test driver: answers the queries named on its command line in one process,
// one line each ("(null)" for a null answer, "(threw)" when a method throws),
// and reports on standard error how many allocations it saw.
//
//   probe [-k KIND] [-f N] ITEM...
//   -k KIND  sets PathBase::platform.kind before the first query
//   -f N     makes the Nth allocation fail (throwing new throws bad_alloc)
//   ITEM     a query name, set:NAME=VALUE (changes the environment), or
//            store:MEMBER=VALUE (stores a value as an embedding program would)

#include <ravlinpath/Base.h>
#include <ravlinpath/Ravlin.h>
#include <ravlinpath/RavlinC.h>
#include <ravlinpath/System.h>
#include <ravlinpath/SystemC.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>

namespace {

long allocations = 0;
long failingAllocation = 0;

bool nextAllocationFails()
{
    return ++allocations == failingAllocation;
}

const char* kindText(int kind)
{
    static char text[16];
    std::snprintf(text, sizeof text, "%d", kind);
    return text;
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

void answer(const char* name)
{
    for (const Query& query : queries) {
        if (std::strcmp(query.name, name) != 0)
            continue;
        try {
            const char* text = query.answer();
            std::printf("%s\n", text ? text : "(null)");
        } catch (...) {
            std::puts("(threw)");
        }
        return;
    }
    std::fprintf(stderr, "unknown query %s\n", name);
    std::exit(2);
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

void* operator new(std::size_t size)
{
    void* memory = nextAllocationFails() ? nullptr : std::malloc(size ? size : 1);
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return nextAllocationFails() ? nullptr : std::malloc(size ? size : 1);
}

void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

int main(int argc, char** argv)
{
    for (int option; (option = getopt(argc, argv, "k:f:")) != -1;) {
        if (option == 'k')
            PathBase::platform.kind = std::atoi(optarg);
        else if (option == 'f')
            failingAllocation = std::atol(optarg);
        else
            return 2;
    }
    allocations = 0;
    for (int i = optind; i < argc; ++i) {
        if (std::strncmp(argv[i], "set:", 4) == 0)
            putenv(argv[i] + 4);
        else if (std::strncmp(argv[i], "store:", 6) == 0)
            store(argv[i] + 6);
        else
            answer(argv[i]);
    }
    std::fprintf(stderr, "allocations %ld\n", allocations);
    return 0;
}
