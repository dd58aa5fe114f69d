// ravlin-path: prints one path of the Ravlin installation or of the system;
// with an option, every answer at once, a check of the installation, its
// usage or its version.

#include <ravlinpath/RavlinC.h>
#include <ravlinpath/SystemC.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int exitIncomplete = 1;
constexpr int exitFailure = 255;

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

    void pad(std::size_t width, std::size_t printed)
    {
        for (; printed < width; ++printed)
            put(" ");
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

enum class Level { ok, note, fault };

struct Verdict {
    Level level;
    const char* words;
};

// The fallback paths of an installation that could not be located.
bool isUndefined(const char* path)
{
    constexpr std::string_view undefined = "/undefined";
    std::string_view text = path;
    return text.starts_with(undefined) && (text.size() == undefined.size() || text[undefined.size()] == '/');
}

constexpr Verdict notLocated = {Level::fault, "not located: set RAVLINHOME"};

// Whether path leads to a directory that the user running the check may list
// and enter, with failure's level when it does not; missing says so when
// nothing is there. access() asks for the real user, whose password entry the
// answers come from.
Verdict judgeDirectory(const char* path, Level failure, const char* missing)
{
    int directory = open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) {
        if (errno == ENOENT)
            return {failure, missing};
        return {failure, errno == ENOTDIR ? "not a directory" : "cannot be examined"};
    }
    close(directory);
    if (access(path, R_OK | X_OK) != 0)
        return {failure, "not readable and searchable by this user"};
    return {Level::ok, "a directory"};
}

Verdict judgeHome(const char* home)
{
    if (isUndefined(home))
        return notLocated;
    if (*home == '\0')
        return {Level::fault, "not located: RAVLINHOME is empty"};
    Verdict directory = judgeDirectory(home, Level::fault, "does not exist");
    if (directory.level != Level::ok)
        return directory;
    if (*home != '/')
        return {Level::note, "relative: the answers depend on the current directory"};
    return {Level::ok, "located"};
}

Verdict judgeInstallationDirectory(const char* answer)
{
    if (isUndefined(answer))
        return notLocated;
    return judgeDirectory(answer, Level::fault, "does not exist");
}

Verdict judgeDot(const char* answer)
{
    return judgeDirectory(answer, Level::note, "not created yet (normal before first use)");
}

Verdict judgeLumeva(const char* answer)
{
    if (!answer)
        return {Level::note, "not configured (LUMEVA is unset)"};
    return {Level::ok, "configured"};
}

Verdict judgeViewer(const char* answer)
{
    if (!answer)
        return {Level::note, "none found (looked for acroread, evince and xpdf)"};
    return {Level::ok, "found"};
}

Verdict judgeDiskless(const char* answer)
{
    return judgeDirectory(answer, Level::note, "does not exist (needed only to serve diskless clients)");
}

// The current-directory file is named after the login, so it is empty
// exactly when the user has no password entry.
Verdict judgeUser()
{
    if (*pathRavlinCurDir() == '\0')
        return {Level::note, "the user has no password entry"};
    return {Level::ok, "the user has a password entry"};
}

Verdict judgeUserHome(const char*)
{
    return judgeUser();
}

Verdict judgeCurDir(const char* answer)
{
    if (isUndefined(answer))
        return notLocated;
    return judgeUser();
}

struct Keyword {
    const char* word;
    const char* (*answer)();
    const char* (*below)();  // when set, printed after the answer and a "/"
    const char* meaning;
    Verdict (*judge)(const char* answer);
};

// In the order of the usage line, which --all, --shell and --check keep.
constexpr Keyword keywords[] = {
    {"prog", pathRavlinProg, nullptr, "the program directory", judgeInstallationDirectory},
    {"exp", pathRavlinExp, nullptr, "the experiment directory", judgeInstallationDirectory},
    {"conf", pathRavlinConf, nullptr, "the configuration directory", judgeInstallationDirectory},
    {"plot", pathRavlinPlot, nullptr, "the plot directory", judgeInstallationDirectory},
    {"print", pathRavlinPrint, nullptr, "the print directory", judgeInstallationDirectory},
    {"dot", pathRavlinDot, nullptr, "the per-user dot directory", judgeDot},
    {"lv", pathSystemLumeva, nullptr, "the Lumeva location; nothing when LUMEVA is unset", judgeLumeva},
    {"curdir", pathRavlinProg, pathRavlinCurDir, "the per-user current-directory file", judgeCurDir},
    {"pdf", pathSystemPdfViewer, nullptr, "a PDF viewer; nothing when none is found", judgeViewer},
    {"diskless", pathRavlinDisklessInst, nullptr, "the diskless installation directory", judgeDiskless},
    {"userhome", pathSystemUserHome, nullptr, "the user's home directory; nothing without a password entry", judgeUserHome},
};

// Most keywords differ from the argument in its first letter, and are passed
// over without a call.
const Keyword* findKeyword(const char* word)
{
    for (const Keyword& keyword : keywords)
        if (keyword.word[0] == word[0] && std::strcmp(keyword.word, word) == 0)
            return &keyword;
    return nullptr;
}

void putAnswer(const Keyword& keyword, void (*putPart)(const char*))
{
    putPart(keyword.answer());
    if (keyword.below) {
        putPart("/");
        putPart(keyword.below());
    }
}

void putPlain(const char* part)
{
    output.put(part);
}

// Inside single quotes every byte stands for itself except the quote, which
// is closed, escaped and reopened.
void putQuoted(const char* part)
{
    if (!part)
        return;
    for (const char* quote; (quote = std::strchr(part, '\'')); part = quote + 1) {
        output.put(std::string_view(part, quote - part));
        output.put("'\\''");
    }
    output.put(part);
}

std::size_t plainLength(const char* part)
{
    return part ? std::strlen(part) : 0;
}

struct Shown {
    char text[4];
    std::size_t size;
};

// How the check shows one byte of an answer: control bytes and the backslash
// escaped, so that an answer keeps to its line and cannot move the cursor,
// retitle the terminal or pass for a line of the report. Bytes of UTF-8
// paths are shown as they are.
Shown shown(unsigned char byte)
{
    switch (byte) {
    case '\n':
        return {{'\\', 'n'}, 2};
    case '\t':
        return {{'\\', 't'}, 2};
    case '\\':
        return {{'\\', '\\'}, 2};
    }
    if (byte >= 0x20 && byte != 0x7f)
        return {{static_cast<char>(byte)}, 1};
    constexpr char digits[] = "0123456789abcdef";
    return {{'\\', 'x', digits[byte >> 4], digits[byte & 0xf]}, 4};
}

void putShown(const char* part)
{
    for (; part && *part; ++part) {
        Shown byte = shown(*part);
        output.put(std::string_view(byte.text, byte.size));
    }
}

std::size_t shownLength(const char* part)
{
    std::size_t length = 0;
    for (; part && *part; ++part)
        length += shown(*part).size;
    return length;
}

std::size_t answerLength(const Keyword& keyword, std::size_t (*partLength)(const char*))
{
    std::size_t length = partLength(keyword.answer());
    if (keyword.below)
        length += 1 + partLength(keyword.below());
    return length;
}

int putAll()
{
    for (const Keyword& keyword : keywords) {
        output.put(keyword.word);
        output.put(":");
        if (answerLength(keyword, plainLength) > 0) {
            output.put(" ");
            putAnswer(keyword, putPlain);
        }
        output.put("\n");
    }
    return 0;
}

int putShell()
{
    for (const Keyword& keyword : keywords) {
        output.put("RAVLIN_PATH_");
        for (const char* letter = keyword.word; *letter; ++letter) {
            const char capital = *letter - 'a' + 'A';
            output.put(std::string_view(&capital, 1));
        }
        output.put("='");
        putAnswer(keyword, putQuoted);
        output.put("'\n");
    }
    return 0;
}

constexpr std::size_t wordWidth = 10;

void putWord(const char* word)
{
    output.put(word);
    output.pad(wordWidth, std::strlen(word));
}

// Aligns the verdict after an answer of printed bytes in a column of width.
void putVerdict(std::size_t width, std::size_t printed, Verdict verdict)
{
    constexpr const char* levelNames[] = {"ok", "note", "fault"};
    const char* level = levelNames[static_cast<int>(verdict.level)];
    output.pad(std::max(width, printed) + 2, printed);
    output.put(level);
    output.pad(7, std::strlen(level));
    output.put(verdict.words);
    output.put("\n");
}

// Verdicts line up after answers of up to this many bytes; a longer answer
// pushes its own verdict along rather than padding every line.
constexpr std::size_t widestAnswerColumn = 64;

// The installation is complete when its home is located and the five
// installation directories are directories the user may use; the other lines
// inform.
int check()
{
    const char* home = pathRavlinHome();
    std::size_t width = shownLength(home);
    for (const Keyword& keyword : keywords)
        width = std::max(width, answerLength(keyword, shownLength));
    width = std::min(width, widestAnswerColumn);

    Verdict homeVerdict = judgeHome(home);
    bool complete = homeVerdict.level != Level::fault;
    putWord("home");
    putShown(home);
    putVerdict(width, shownLength(home), homeVerdict);
    for (const Keyword& keyword : keywords) {
        Verdict verdict = keyword.judge(keyword.answer());
        complete = complete && verdict.level != Level::fault;
        putWord(keyword.word);
        putAnswer(keyword, putShown);
        putVerdict(width, answerLength(keyword, shownLength), verdict);
    }
    if (complete) {
        output.put("\nThe installation is complete.\n");
        return 0;
    }
    output.put("\nThe installation is incomplete.\n");
    return exitIncomplete;
}

int putVersion()
{
    output.put("ravlin-path " RAVLINPATH_VERSION "\n");
    return 0;
}

int putHelp();

struct Option {
    const char* name;
    const char* shortName;  // or null
    int (*run)();
    const char* meaning;
};

constexpr Option options[] = {
    {"--all", nullptr, putAll, "every keyword and its answer, one per line"},
    {"--shell", nullptr, putShell, "every answer as a shell assignment: eval \"$(ravlin-path --shell)\""},
    {"--check", nullptr, check, "check the installation; status 1 when it is incomplete"},
    {"--help", "-h", putHelp, "this help"},
    {"--version", nullptr, putVersion, "the version"},
};

int putHelp()
{
    output.put("Usage: ravlin-path KEYWORD\n"
               "       ravlin-path OPTION\n"
               "Prints one path of the Ravlin installation, of the user or of the machine,\n"
               "without a trailing newline.\n"
               "\n"
               "Keywords:\n");
    for (const Keyword& keyword : keywords) {
        output.put("  ");
        putWord(keyword.word);
        output.put(keyword.meaning);
        output.put("\n");
    }
    output.put("\nOptions:\n");
    for (const Option& option : options) {
        output.put(option.shortName ? "  " : "      ");
        if (option.shortName) {
            output.put(option.shortName);
            output.put(", ");
        }
        output.put(option.name);
        output.pad(wordWidth + 1, std::strlen(option.name));
        output.put(option.meaning);
        output.put("\n");
    }
    output.put("\n"
               "The answers come from the environment (RAVLINHOME, RAVLINPROG and others),\n"
               "the password database, the host name and PATH: see ravlin-path(1).\n");
    return 0;
}

// Reached only when no keyword matched, so options cost a query nothing.
const Option* findOption(const char* word)
{
    for (const Option& option : options)
        if (std::strcmp(option.name, word) == 0 || (option.shortName && std::strcmp(option.shortName, word) == 0))
            return &option;
    return nullptr;
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
    return exitFailure;
}

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage(nullptr);
    if (const Keyword* keyword = findKeyword(argv[1])) {
        putAnswer(*keyword, putPlain);
        return output.finish() ? 0 : exitFailure;
    }
    const Option* option = findOption(argv[1]);
    if (!option)
        return usage(argv[1]);
    int status = option->run();
    return output.finish() ? status : exitFailure;
}
