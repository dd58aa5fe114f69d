// The explanation of an answer: its trace, read against the answer's source
// row, as a chain of facts, and the facts in words.

#include <ravlinpath/Origin.h>

#include <ravlinpath/Base.h>
#include <ravlinpath/Ravlin.h>
#include <ravlinpath/System.h>

#include "Trace.h"

#include <cstdlib>
#include <cstring>

using namespace ravlinpath;

namespace {

using Kind = PathOrigin::Kind;
using Fact = PathOrigin::Fact;
using Facts = std::vector<Fact>;

// The answer, computed when it has not been asked for yet.
const char* query(Answer answer)
{
    PathPlatform& platform = PathBase::platform;
    switch (answer) {
    case Answer::home: return PathRavlin().homeDir();
    case Answer::prog: return PathRavlin().progDir();
    case Answer::exp: return PathRavlin().expDir();
    case Answer::expStan: return PathRavlin().expStanDir();
    case Answer::conf: return PathRavlin().confDir();
    case Answer::plot: return PathRavlin().plotDir();
    case Answer::layout: return PathRavlin().layoutDir();
    case Answer::print: return PathRavlin().printDir();
    case Answer::docu: return PathRavlin().docuDir();
    case Answer::appDefaults: return PathRavlin().appDefaultsDir();
    case Answer::hints: return PathRavlin().hintsDir();
    case Answer::dot: return PathRavlin().dotDir();
    case Answer::curDir: return PathRavlin().curDirFile();
    case Answer::disklessInst: return PathRavlin().disklessInst();
    case Answer::disklessRoot: return PathRavlin().disklessRoot();
    case Answer::disklessLock: return PathRavlin().disklessLock();
    case Answer::pdfViewer: return PathSystem().pdfViewerPath();
    case Answer::lumeva: return PathSystem().lumevaPath();
    case Answer::userHome: return platform.userHome();
    case Answer::userName: return platform.userName();
    case Answer::userProfile: return platform.userProfile();
    case Answer::tmp: return PathSystem().tmp();
    case Answer::registryFile: return platform.analysisRegistry();
    case Answer::fennetProg: return platform.fennetProg();
    case Answer::fennetExe: return platform.fennetExe();
    case Answer::fennetWin: return platform.fennetWin();
    case Answer::brisko: return PathSystem().briskoPath();
    case Answer::quamby: return PathSystem().quambyPath();
    }
    return nullptr;
}

// Gathers the facts of one answer and, deeper, of the answers it was made from.
class Explainer {
public:
    explicit Explainer(Facts& facts) : facts(facts) {}

    void explain(Answer answer, int depth)
    {
        const char* text = query(answer);
        const Trace trace = tracedCopy(answer);
        const Source& source = sourceOf(answer);
        const char* variable = variableOf(source, familyOf(PathBase::platform.kind));
        switch (trace.made) {
        case Made::notYet:
        case Made::kept:
            if (text)
                add(Kind::stored, depth, nullptr, text);
            else
                add(Kind::noSource, depth);
            break;
        case Made::fromVariable:
            add(Kind::variable, depth, variable, trace.text ? trace.text : text);
            break;
        case Made::below:
            // The standard experiments join their variable's value, when it is set.
            if (answer == Answer::expStan && trace.text)
                add(Kind::variable, depth, variable, trace.text);
            else
                passedOver(variable, trace, depth);
            below(source, trace, text, depth);
            break;
        case Made::sameAs:
            passedOver(variable, trace, depth);
            add(Kind::sameAs, depth, source.baseWords, query(source.base));
            explain(source.base, depth + 1);
            break;
        case Made::named:
            add(Kind::named, depth, "the login", PathBase::platform.userName());
            explain(Answer::userName, depth + 1);
            add(Kind::below, depth, source.baseWords, query(source.base), text);
            explain(source.base, depth + 1);
            break;
        case Made::fallback:
            passedOver(variable, trace, depth);
            add(Kind::fallback, depth, nullptr, text, nullptr, trace.number);
            break;
        case Made::fixed:
            passedOver(variable, trace, depth);
            add(Kind::fixed, depth, variable, text);
            break;
        case Made::none:
            passedOver(variable, trace, depth);
            break;
        case Made::passwordEntry:
            add(Kind::passwordEntry, depth, PathBase::platform.userName(), PathBase::platform.userHome(), nullptr,
                trace.number);
            break;
        case Made::noPasswordEntry:
            add(Kind::noPasswordEntry, depth, nullptr, nullptr, nullptr, trace.number);
            break;
        case Made::searched:
            searched(trace, depth);
            break;
        case Made::setting:
        case Made::blankSetting:
        case Made::settingDefault:
            setting(answer, trace, text, depth);
            break;
        }
        if (trace.normalized)
            add(Kind::normalized, depth);
    }

private:
    void add(Kind kind, int depth, const char* name = nullptr, const char* value = nullptr,
             const char* detail = nullptr, long number = 0)
    {
        facts.push_back({kind, depth, name, value, detail, number});
    }

    void passedOver(const char* variable, const Trace& trace, int depth)
    {
        if (variable)
            add(trace.notCopied ? Kind::variableNotCopied : Kind::variableUnset, depth, variable);
    }

    // The joined part is what the answer holds beyond its base and a "/".
    void below(const Source& source, const Trace& trace, const char* text, int depth)
    {
        const char* base = query(source.base);
        const std::size_t baseLength = std::strlen(base);
        const char* joined = std::strlen(text) > baseLength ? text + baseLength : "";
        add(Kind::below, depth, source.baseWords, base, joined + (*joined == '/'));
        explain(source.base, depth + 1);
        if (source.base == Answer::userHome)
            host(trace, joined, depth);
    }

    // The dot directory's name ends in the host name's first part, which
    // trace.text holds whole when it was cut.
    void host(const Trace& trace, const char* joined, int depth)
    {
        const std::size_t prefix = std::strlen(familyOf(PathBase::platform.kind).dotPrefix);
        const char* kept = std::strlen(joined) >= prefix ? joined + prefix : "";
        if (!*kept && !trace.text)
            add(Kind::noHostName, depth);
        else
            add(Kind::hostName, depth, trace.text ? trace.text : kept, kept);
    }

    void searched(const Trace& trace, int depth)
    {
        const char* path = trace.text;
        if (!path)
            add(Kind::variableUnset, depth, "PATH");
        else
            add(Kind::variable, depth, "PATH", path);
        if (path && (!*path || *path == ':' || std::strstr(path, "::") || path[std::strlen(path) - 1] == ':'))
            add(Kind::emptyElement, depth);
        bool found = false;
        for (const Tried* tried = trace.tried; tried; tried = tried->next) {
            add(Kind::candidate, depth, nullptr, tried->path, nullptr, static_cast<long>(tried->verdict));
            found = tried->verdict == PathOrigin::Candidate::found;
        }
        if (!found)
            add(Kind::noneFound, depth);
    }

    void setting(Answer answer, const Trace& trace, const char* text, int depth)
    {
        const char* file = PathPlatform::Fennet::registry;
        add(Kind::registryFile, depth, nullptr, file, nullptr, static_cast<long>(trace.fileState));
        if (file == PathBase::platform.analysisRegistry())
            explain(Answer::registryFile, depth + 1);
        const Setting* key = nullptr;
        for (const Setting& setting : fennetSettings)
            if (setting.answer == answer)
                key = &setting;
        const Kind kind = trace.made == Made::setting        ? Kind::setting
                          : trace.made == Made::blankSetting ? Kind::blankSetting
                                                             : Kind::settingDefault;
        add(kind, depth, key->key, kind == Kind::settingDefault ? text : file, fennetSection, trace.number);
    }

    Facts& facts;
};

// In the order of PathOrigin::Candidate and PathOrigin::FileState.
constexpr const char* candidateWords[] = {
    "found", "missing", "cannot be examined", "a directory", "not a regular file", "not executable for this user",
    "too long"};
constexpr const char* fileWords[] = {"read", "missing", "not a regular file", "unreadable",
                                     "still leased when the wait ran out"};

template <std::size_t count>
std::string wordsFor(const char* const (&words)[count], long number)
{
    return number >= 0 && number < static_cast<long>(count) ? words[number] : "?";
}

std::string text(const char* value)
{
    return value ? value : "";
}

// "[section] key" where the registry names it.
std::string settingName(const Fact& fact)
{
    return text(fact.name) + " in [" + text(fact.detail) + "]";
}

std::string where(const Fact& fact)
{
    return text(fact.value) + ":" + std::to_string(fact.number) + ": ";
}

}

std::vector<PathOrigin::Fact> PathOrigin::factsOf(Answer answer)
{
    Facts facts;
    Explainer(facts).explain(answer, 0);
    return facts;
}

std::string PathOrigin::describe(const Fact& fact)
{
    const std::string name = text(fact.name);
    const std::string value = text(fact.value);
    switch (fact.kind) {
    case Kind::variable: return name + "=" + value;
    case Kind::variableUnset: return name + " not set";
    case Kind::variableNotCopied: return name + " set, but passed over: no memory for its copy";
    case Kind::passwordEntry:
        return "uid " + std::to_string(fact.number) + ": login " + name + ", home " + value;
    case Kind::noPasswordEntry: return "uid " + std::to_string(fact.number) + ": no password entry";
    case Kind::hostName: return name == value ? "host name " + name : "host name " + name + ", kept " + value;
    case Kind::noHostName: return "no host name";
    case Kind::emptyElement: return "empty PATH elements skipped: the current directory is not searched";
    case Kind::candidate: return value + ": " + wordsFor(candidateWords, fact.number);
    case Kind::noneFound: return "none found";
    case Kind::registryFile: return "registry file " + value + ": " + wordsFor(fileWords, fact.number);
    case Kind::setting: return where(fact) + settingName(fact);
    case Kind::blankSetting: return where(fact) + settingName(fact) + " holds white space alone";
    case Kind::settingDefault:
        if (fact.number > 0)
            return settingName(fact) + " has no value: default " + value;
        return settingName(fact) + " not found: default " + value;
    case Kind::below: return "below " + name + ": " + value + " + " + text(fact.detail);
    case Kind::named: return "named after " + name + ": " + value;
    case Kind::sameAs: return "the same as " + name + ": " + value;
    case Kind::normalized: return "backslashes turned into forward slashes";
    case Kind::fixed: return (fact.name ? "default: " : "fixed: ") + value;
    case Kind::fallback:
        return "fallback " + value
               + (static_cast<Fallback>(fact.number) == Fallback::notLocated ? ": the installation is not located"
                                                                             : ": out of memory");
    case Kind::stored: return "stored by the program before the first query";
    case Kind::noSource: return "no source: only the program may store it";
    }
    return "";
}

std::string PathOrigin::summary(Answer answer)
{
    const char* text = query(answer);
    const Trace trace = tracedCopy(answer);
    const Source& source = sourceOf(answer);
    const char* variable = variableOf(source, familyOf(PathBase::platform.kind));
    switch (trace.made) {
    case Made::notYet:
    case Made::kept: return text ? "stored" : "no source";
    case Made::fromVariable: return "from " + std::string(variable);
    case Made::below: return "below " + std::string(source.baseWords);
    case Made::sameAs: return "the same as " + std::string(source.baseWords);
    case Made::named: return "named after the login";
    case Made::fallback:
        return static_cast<Fallback>(trace.number) == Fallback::notLocated ? "default" : "out of memory";
    case Made::fixed: return variable ? "default" : "fixed";
    case Made::none: return std::string(variable) + " not set";
    case Made::passwordEntry: return "password entry";
    case Made::noPasswordEntry: return "no password entry";
    case Made::searched: return "PATH";
    case Made::setting:
    case Made::blankSetting: return "registry";
    case Made::settingDefault: return "default";
    }
    return "";
}

std::string PathOrigin::textOf(Answer answer)
{
    std::string lines;
    for (const Fact& fact : factsOf(answer))
        lines += std::string(2 * fact.depth, ' ') + describe(fact) + "\n";
    return lines;
}

const char* PathOrigin::nameOf(Answer answer)
{
    return sourceOf(answer).name;
}

bool PathOrigin::find(std::string_view name, Answer& answer)
{
    for (int i = 0; i < answerCount; ++i)
        if (name == sources[i].name) {
            answer = static_cast<Answer>(i);
            return true;
        }
    return false;
}
