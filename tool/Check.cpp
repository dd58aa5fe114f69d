// The check's verdicts on the answers, and its report (see Check.h).

#include "Check.h"

#include "Keywords.h"
#include "Output.h"
#include "Report.h"

#include <ravlinpath/RavlinC.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int exitIncomplete = 1;

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

// A judge is given what its keyword's answer function returns.
using Judge = Verdict (*)(const char* answer);

struct KeywordJudge {
    const char* word;
    Judge judge;
};

constexpr KeywordJudge judgesByKeyword[] = {
    {"prog", judgeInstallationDirectory},
    {"exp", judgeInstallationDirectory},
    {"conf", judgeInstallationDirectory},
    {"plot", judgeInstallationDirectory},
    {"print", judgeInstallationDirectory},
    {"dot", judgeDot},
    {"lv", judgeLumeva},
    {"curdir", judgeCurDir},
    {"pdf", judgeViewer},
    {"diskless", judgeDiskless},
    {"userhome", judgeUserHome},
};

// The judges in the keyword table's order, found when compiling: stored, each
// word would cost every start of the command a relocation.
constexpr auto judges = [] {
    std::array<Judge, std::size(keywords)> inOrder = {};
    for (std::size_t i = 0; i < inOrder.size(); ++i)
        for (const KeywordJudge& row : judgesByKeyword)
            if (std::string_view(row.word) == keywords[i].word)
                inOrder[i] = row.judge;
    return inOrder;
}();
static_assert(std::find(judges.begin(), judges.end(), nullptr) == judges.end(), "every keyword has a judge");

void putVerdict(const Columns& columns, const char* word, const Answer& answer, Verdict verdict)
{
    constexpr const char* levelNames[] = {"ok", "note", "fault"};
    columns.put(word, answer, levelNames[static_cast<int>(verdict.level)], verdict.words);
}

}

// The installation is complete when its home is located and the five
// installation directories are directories the user may use; the other lines
// inform.
int check()
{
    const char* home = pathRavlinHome();
    const Answer homeAnswer = {{home}, 1};
    Columns columns;
    columns.fit(homeAnswer);
    for (const Keyword& keyword : keywords)
        columns.fit(ask(keyword));

    Verdict homeVerdict = judgeHome(home);
    bool complete = homeVerdict.level != Level::fault;
    putVerdict(columns, "home", homeAnswer, homeVerdict);
    for (std::size_t i = 0; i < std::size(keywords); ++i) {
        Verdict verdict = judges[i](keywords[i].answer());
        complete = complete && verdict.level != Level::fault;
        putVerdict(columns, keywords[i].word, ask(keywords[i]), verdict);
    }
    if (complete) {
        output.put("\nThe installation is complete.\n");
        return 0;
    }
    output.put("\nThe installation is incomplete.\n");
    return exitIncomplete;
}
