// The check's verdicts on the answers, and its report (see Check.h).

#include "Check.h"

#include "Json.h"
#include "Keywords.h"
#include "Output.h"
#include "Report.h"

#include <ravlinpath/RavlinC.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <cstring>
#include <iterator>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int exitIncomplete = 1;

enum class Level { ok, note, fault };

// Words composed for a report; what does not fit is cut.
class Words {
public:
    Words() = default;
    Words(const char* text) { *this << text; }

    Words& operator<<(std::string_view piece)
    {
        for (char c : piece)
            if (used + 1 < sizeof text)
                text[used++] = c;
        return *this;
    }

    const char* c_str() const { return text; }

private:
    char text[160] = {};
    std::size_t used = 0;
};

struct Verdict {
    Level level;
    Words words;
};

// Whether the answer rests on the fallback of an installation that could not
// be located.
bool notLocated(Origin origin)
{
    bool found = false;
    PathOrigin::forEachFact(origin, [&](const PathOrigin::Fact& fact) {
        found = found || (fact.kind == PathOrigin::Kind::fallback
                          && fact.number == static_cast<long>(PathOrigin::Fallback::notLocated));
    });
    return found;
}

// The variable an answer is read from, as the library names it: its first fact's.
std::string_view variableOf(Origin origin)
{
    std::string_view name;
    PathOrigin::forEachFact(origin, [&](const PathOrigin::Fact& fact) {
        if (name.empty() && fact.name)
            name = fact.name;
    });
    return name;
}

Verdict notLocatedVerdict()
{
    return {Level::fault, Words("not located: set ") << variableOf(Origin::home)};
}

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

Verdict judgeHome(const char* home, Origin origin)
{
    if (notLocated(origin))
        return notLocatedVerdict();
    if (*home == '\0')
        return {Level::fault, Words("not located: ") << variableOf(origin) << " is empty"};
    Verdict directory = judgeDirectory(home, Level::fault, "does not exist");
    if (directory.level != Level::ok)
        return directory;
    if (*home != '/')
        return {Level::note, "relative: the answers depend on the current directory"};
    return {Level::ok, "located"};
}

Verdict judgeInstallationDirectory(const char* answer, Origin origin)
{
    if (notLocated(origin))
        return notLocatedVerdict();
    return judgeDirectory(answer, Level::fault, "does not exist");
}

Verdict judgeDot(const char* answer, Origin)
{
    return judgeDirectory(answer, Level::note, "not created yet (normal before first use)");
}

Verdict judgeLumeva(const char* answer, Origin origin)
{
    if (!answer)
        return {Level::note, Words("not configured (") << variableOf(origin) << " is unset)"};
    return {Level::ok, "configured"};
}

// The search's verdict on none found, in the library's words, which name the
// programs looked for.
Verdict judgeViewer(const char* answer, Origin origin)
{
    if (answer)
        return {Level::ok, "found"};
    Verdict none = {Level::note, ""};
    PathOrigin::forEachFact(origin, [&](const PathOrigin::Fact& fact) {
        if (fact.kind == PathOrigin::Kind::noneFound)
            PathOrigin::describe(fact, [&](std::string_view piece) { none.words << piece; });
    });
    return none;
}

Verdict judgeDiskless(const char* answer, Origin)
{
    return judgeDirectory(answer, Level::note, "does not exist (needed only to serve diskless clients)");
}

// The user's home is asked for first, so that its facts are there to read.
Verdict judgeUser()
{
    pathSystemUserHome();
    if (restsOnNoPasswordEntry(Origin::userHome))
        return {Level::note, "the user has no password entry"};
    return {Level::ok, "the user has a password entry"};
}

Verdict judgeUserHome(const char*, Origin)
{
    return judgeUser();
}

// The current-directory file lies below the program directory.
Verdict judgeCurDir(const char*, Origin)
{
    if (notLocated(Origin::prog))
        return notLocatedVerdict();
    return judgeUser();
}

// A judge is given what its keyword's answer function returns, and the
// library's answer whose facts decided it.
using Judge = Verdict (*)(const char* answer, Origin origin);

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

// One line of the report.
struct Line {
    const char* word;
    Answer answer;
    Origin origin;
    Words source;
    Verdict verdict;
};

Line lineFor(const char* word, const Answer& answer, const char* text, Origin origin, Judge judge)
{
    Words source;
    PathOrigin::summarize(origin, [&](std::string_view piece) { source << piece; });
    return {word, answer, origin, source, judge(text, origin)};
}

constexpr const char* levelNames[] = {"ok", "note", "fault"};

const char* nameOf(Level level)
{
    return levelNames[static_cast<int>(level)];
}

// The installation is complete when its home is located and the five
// installation directories are directories the user may use; the other lines
// inform.
struct Report {
    std::array<Line, std::size(keywords) + 1> lines;
    bool complete = true;
};

Report judged()
{
    const char* home = pathRavlinHome();
    Report report = {{lineFor("home", {{home}, 1}, home, Origin::home, judgeHome)}};
    for (std::size_t i = 0; i < std::size(keywords); ++i)
        report.lines[i + 1] = lineFor(keywords[i].word, ask(keywords[i]), keywords[i].answer(), keywords[i].origin,
                                      judges[i]);
    for (const Line& line : report.lines)
        report.complete = report.complete && line.verdict.level != Level::fault;
    return report;
}

int statusOf(const Report& report)
{
    return report.complete ? 0 : exitIncomplete;
}

}

int check(const Keyword*)
{
    const Report report = judged();
    Columns columns;
    for (const Line& line : report.lines)
        columns.fit(line.answer, line.source.c_str());
    for (const Line& line : report.lines)
        columns.put(line.word, line.answer, line.source.c_str(), nameOf(line.verdict.level),
                    line.verdict.words.c_str());
    output.put(report.complete ? "\nThe installation is complete.\n" : "\nThe installation is incomplete.\n");
    return statusOf(report);
}

int checkJson(const Keyword*)
{
    const Report report = judged();
    output.put(report.complete ? "{\"complete\": true, \"answers\": " : "{\"complete\": false, \"answers\": ");
    const char* separator = "[";
    for (const Line& line : report.lines) {
        output.put(separator);
        separator = ", ";
        putJsonField("{\"keyword\": ", line.word);
        output.put(", \"answer\": ");
        putJsonAnswer(line.answer, line.origin);
        putJsonField(", \"level\": ", nameOf(line.verdict.level));
        putJsonField(", \"verdict\": ", line.verdict.words.c_str());
        putJsonField(", \"source\": ", line.source.c_str());
        output.put("}");
    }
    output.put("]}\n");
    return statusOf(report);
}
