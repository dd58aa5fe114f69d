// ravlin-path: prints one path of the Ravlin installation or of the system.

#include <ravlinpath/RavlinC.h>
#include <ravlinpath/SystemC.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int exitUsage = 255;

struct Keyword {
    const char* word;
    const char* (*answer)();
    const char* (*below)();  // when set, printed after the answer and a "/"
};

// Tested in this order; the first match wins.
constexpr Keyword keywords[] = {
    {"prog", pathRavlinProg, nullptr},
    {"exp", pathRavlinExp, nullptr},
    {"conf", pathRavlinConf, nullptr},
    {"plot", pathRavlinPlot, nullptr},
    {"print", pathRavlinPrint, nullptr},
    {"dot", pathRavlinDot, nullptr},
    {"lv", pathSystemLumeva, nullptr},
    {"pdf", pathSystemPdfViewer, nullptr},
    {"diskless", pathRavlinDisklessInst, nullptr},
    {"userhome", pathSystemUserHome, nullptr},
    {"curdir", pathRavlinProg, pathRavlinCurDir},
};

const Keyword* findKeyword(const char* word)
{
    for (const Keyword& keyword : keywords)
        if (std::strcmp(keyword.word, word) == 0)
            return &keyword;
    return nullptr;
}

// A null answer (no viewer, LUMEVA unset) prints nothing.
void print(const Keyword& keyword)
{
    const char* answer = keyword.answer();
    if (keyword.below) {
        const char* below = keyword.below();
        std::printf("%s/%s", answer ? answer : "", below ? below : "");
        return;
    }
    if (answer)
        std::printf("%s", answer);
}

// Standard output is the only stream written, so flushing all streams tells
// whether everything printed reached it.
bool reachedOutput()
{
    return std::fflush(nullptr) == 0;
}

}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::puts("missing argument: prog, exp, conf, plot, print, dot, lv, curdir, pdf, diskless or userhome");
        return exitUsage;
    }
    const Keyword* keyword = findKeyword(argv[1]);
    if (!keyword) {
        std::printf("illegal argument: %s\n", argv[1]);
        return exitUsage;
    }
    print(*keyword);
    return reachedOutput() ? 0 : exitUsage;
}
