// ravlin-path: prints one path of the Ravlin installation or of the system.

#include <ravlinpath/RavlinC.h>
#include <ravlinpath/SystemC.h>

#include <cstring>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int exitUsage = 255;

// Everything the command prints passes through one buffer to file
// descriptor 1. A failed write is seen whatever its length, and a query sets
// up no stdio stream (no fstat, no buffer allocation, no formatting). A
// closed pipe ends the process with SIGPIPE, as it ends every filter.
class Output {
public:
    void put(std::string_view text)
    {
        if (text.size() > sizeof buffer - used) {
            drain();
            if (text.size() > sizeof buffer) {
                writeAll(text);
                return;
            }
        }
        std::memcpy(buffer + used, text.data(), text.size());
        used += text.size();
    }

    // A null text (no viewer, LUMEVA unset) prints nothing.
    void put(const char* text)
    {
        if (text)
            put(std::string_view(text));
    }

    // Whether everything put reached the file.
    bool finish()
    {
        drain();
        return !failed;
    }

private:
    void drain()
    {
        writeAll({buffer, used});
        used = 0;
    }

    // The command installs no signal handler, so write is never interrupted.
    void writeAll(std::string_view text)
    {
        while (!text.empty() && !failed) {
            ssize_t written = write(1, text.data(), text.size());
            if (written <= 0)
                failed = true;
            else
                text.remove_prefix(written);
        }
    }

    char buffer[4096] = {};
    std::size_t used = 0;
    bool failed = false;
};

constinit Output output;

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

void putAnswer(const Keyword& keyword)
{
    output.put(keyword.answer());
    if (keyword.below) {
        output.put("/");
        output.put(keyword.below());
    }
}

int usage(const char* argument)
{
    if (argument) {
        output.put("illegal argument: ");
        output.put(argument);
        output.put("\n");
    } else {
        output.put("missing argument: prog, exp, conf, plot, print, dot, lv, curdir, pdf, diskless or userhome\n");
    }
    output.finish();
    return exitUsage;
}

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage(nullptr);
    const Keyword* keyword = findKeyword(argv[1]);
    if (!keyword)
        return usage(argv[1]);
    putAnswer(*keyword);
    return output.finish() ? 0 : exitUsage;
}
