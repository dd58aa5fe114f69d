// The explanation of an answer: its trace, read against the answer's source
// row, as a chain of facts handed to a sink, and the facts in words. Nothing
// here allocates or computes an answer, so a program that takes the facts
// this way links neither the C++ library's strings nor the code of answers
// it never asks for (see OriginText.cpp).

#include <ravlinpath/Origin.h>

#include <ravlinpath/Base.h>
#include <ravlinpath/Ravlin.h>
#include <ravlinpath/System.h>

#include "Strings.h"
#include "Trace.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>

using namespace ravlinpath;

namespace {

using Kind = PathOrigin::Kind;
using Fact = PathOrigin::Fact;

// An answer as it stands: its text, and whether it has been computed, as far
// as its group says. Nothing is computed here, so that explaining an answer
// links nothing but what the answer itself needs.
struct Standing {
    const char* text;
    bool computed;
};

template <typename Group, typename Text>
Standing ofGroup(Group* const& group, Text* const& member)
{
    return published(group) ? Standing{member, true} : Standing{nullptr, false};
}

// A value of its own has no group; its trace tells whether it was computed.
Standing ofMember(char* const& member)
{
    return {published(member), false};
}

Standing standing(Answer answer)
{
    using Platform = PathPlatform;
    switch (answer) {
    case Answer::home: return ofGroup(Platform::ravlin, Platform::Ravlin::home);
    case Answer::prog: return ofGroup(Platform::ravlin, Platform::Ravlin::prog);
    case Answer::exp: return ofMember(PathRavlin::expPath);
    case Answer::expStan: return ofMember(PathRavlin::expStanPath);
    case Answer::conf: return ofMember(PathRavlin::confPath);
    case Answer::plot: return ofMember(PathRavlin::plotPath);
    case Answer::layout: return ofMember(PathRavlin::layoutPath);
    case Answer::print: return ofMember(PathRavlin::printPath);
    case Answer::docu: return ofMember(PathRavlin::docuPath);
    case Answer::appDefaults: return ofMember(PathRavlin::appPath);
    case Answer::hints: return ofMember(PathRavlin::hintsPath);
    case Answer::dot: return ofMember(PathRavlin::dotPath);
    case Answer::curDir: return ofMember(PathRavlin::curDirPath);
    case Answer::disklessInst: return ofGroup(Platform::diskless, Platform::Diskless::inst);
    case Answer::disklessRoot: return ofGroup(Platform::diskless, Platform::Diskless::root);
    case Answer::disklessLock: return ofGroup(Platform::diskless, Platform::Diskless::lock);
    case Answer::pdfViewer: return ofGroup(Platform::pdfviewer, Platform::PdfViewer::path);
    case Answer::lumeva: return published(PathSystem::lumeva) ? Standing{PathSystem::lumeva->path, true} : Standing{};
    case Answer::userHome: return ofGroup(Platform::user, Platform::User::home);
    case Answer::userName: return ofGroup(Platform::user, Platform::User::name);
    case Answer::userProfile: return ofGroup(Platform::user, Platform::User::profile);
    case Answer::tmp: return ofMember(PathSystem::tmpDir);
    case Answer::registryFile: return ofGroup(Platform::analysis, Platform::Analysis::registry);
    case Answer::fennetProg: return ofGroup(Platform::fennet, Platform::Fennet::prog);
    case Answer::fennetExe: return ofGroup(Platform::fennet, Platform::Fennet::exe);
    case Answer::fennetWin: return ofGroup(Platform::fennet, Platform::Fennet::win);
    case Answer::brisko: return ofGroup(Platform::brisko, Platform::Brisko::path);
    case Answer::quamby: return ofGroup(Platform::quamby, Platform::Quamby::path);
    }
    return {};
}

const char* current(Answer answer)
{
    return standing(answer).text;
}

// What an explanation reads of an answer: its text, whether it has been
// asked for (a value stored before the first query counts), its trace and
// its source row, with the variable the row names for this family. The text
// and the trace are read together, under the lock they are written under.
struct Reading {
    const char* text;
    bool asked;
    Trace trace;
    const Source& source;
    const char* variable;
};

Reading readingOf(Answer answer)
{
    const Source& source = sourceOf(answer);
    const char* variable = variableOf(source, familyOf(PathBase::platform.kind));
    std::lock_guard held(lockOf(answer));
    const Standing now = standing(answer);
    const Trace& trace = traceOf(answer);
    return {now.text, now.computed || now.text || trace.made != Made::notYet, trace, source, variable};
}

// Whether a PATH value has an empty element, which the search skips: a
// colon at either end or two together, or nothing at all.
bool holdsEmptyElement(const char* path)
{
    char previous = ':';
    for (; *path; previous = *path++)
        if (*path == ':' && previous == ':')
            return true;
    return previous == ':';
}

// Gathers the facts of one answer and, deeper, of the answers it was made from.
class Explainer {
public:
    Explainer(PathOrigin::FactSink sink, void* context) : sink(sink), context(context) {}

    void explain(Answer answer, int depth)
    {
        const Reading seen = readingOf(answer);
        if (!seen.asked) {
            add(Kind::notAsked, depth);
            return;
        }
        const char* text = seen.text;
        const Trace& trace = seen.trace;
        const Source& source = seen.source;
        const char* variable = seen.variable;
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
            add(Kind::sameAs, depth, baseWords(source), current(source.base));
            explain(source.base, depth + 1);
            break;
        case Made::named:
            add(Kind::named, depth, "the login", current(Answer::userName));
            explain(Answer::userName, depth + 1);
            add(Kind::below, depth, baseWords(source), current(source.base), text);
            explain(source.base, depth + 1);
            break;
        case Made::fallback:
            passedOver(variable, trace, depth);
            add(Kind::fallback, depth, nullptr, text ? text : trace.text, nullptr, trace.number);
            break;
        case Made::fixed:
            passedOver(variable, trace, depth);
            add(Kind::fixed, depth, variable, text);
            break;
        case Made::none:
            passedOver(variable, trace, depth);
            break;
        case Made::passwordEntry:
            add(Kind::passwordEntry, depth, current(Answer::userName),
                trace.text ? trace.text : current(Answer::userHome), nullptr, trace.number);
            break;
        case Made::noPasswordEntry:
            // The current-directory file is named after the login, which is not there.
            if (answer == Answer::curDir)
                explain(Answer::userName, depth);
            else
                add(Kind::noPasswordEntry, depth, nullptr, nullptr, nullptr, trace.number);
            break;
        case Made::searched:
            searched(answer, trace, text != nullptr, depth);
            break;
        case Made::setting:
        case Made::blankSetting:
        case Made::settingDefault:
        case Made::notRead:
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
        sink({kind, depth, name, value, detail, number}, context);
    }

    void passedOver(const char* variable, const Trace& trace, int depth)
    {
        if (variable)
            add(trace.notCopied ? Kind::variableNotCopied : Kind::variableUnset, depth, variable);
    }

    // The joined part is what the answer holds beyond its base and a "/".
    void below(const Source& source, const Trace& trace, const char* text, int depth)
    {
        const char* base = orEmpty(current(source.base));
        const std::size_t baseLength = std::strlen(base);
        const char* joined = std::strlen(orEmpty(text)) > baseLength ? text + baseLength : "";
        add(Kind::below, depth, baseWords(source), base, joined + (*joined == '/'));
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

    void searched(Answer answer, const Trace& trace, bool found, int depth)
    {
        const char* path = trace.text;
        if (!path)
            add(Kind::variableUnset, depth, "PATH");
        else
            add(Kind::variable, depth, "PATH", path);
        if (path && holdsEmptyElement(path))
            add(Kind::emptyElement, depth);
        for (const Tried* tried = trace.tried; tried; tried = tried->next)
            add(Kind::candidate, depth, nullptr, tried->path, nullptr, static_cast<long>(tried->verdict));
        if (!found)
            add(Kind::noneFound, depth, nullptr, nullptr, nullptr, static_cast<long>(answer));
    }

    void setting(Answer answer, const Trace& trace, const char* text, int depth)
    {
        const char* key = std::ranges::find(fennetSettings, answer, &Setting::answer)->key;
        if (trace.made == Made::notRead) {
            add(Kind::notRead, depth, key, nullptr, fennetSection);
            return;
        }
        const char* file = published(PathPlatform::Fennet::registry);
        add(Kind::registryFile, depth, nullptr, file, nullptr, static_cast<long>(trace.fileState));
        if (file == current(Answer::registryFile))
            explain(Answer::registryFile, depth + 1);
        const Kind kind = trace.made == Made::setting        ? Kind::setting
                          : trace.made == Made::blankSetting ? Kind::blankSetting
                                                             : Kind::settingDefault;
        add(kind, depth, key, kind == Kind::settingDefault ? text : file, fennetSection, trace.number);
    }

    PathOrigin::FactSink sink;
    void* context;
};

// In the order of PathOrigin::Candidate and PathOrigin::FileState. The texts
// are held in the tables, not pointed to, so that a position-independent
// program has nothing of them to relocate at start-up.
constexpr char candidateWords[][40] = {
    "found", "missing", "cannot be examined", "a directory", "not a regular file", "not executable for this user",
    "too long", "found, but no memory for its copy"};
constexpr char fileWords[][40] = {"read", "missing", "not a regular file", "unreadable",
                                  "still leased when the wait ran out"};

template <std::size_t count, std::size_t size>
const char* wordsFor(const char (&words)[count][size], long number)
{
    return number >= 0 && number < static_cast<long>(count) ? words[number] : "?";
}

std::string_view text(const char* value)
{
    return value ? value : "";
}

// Hands the pieces to sink, one after the other.
class Pieces {
public:
    Pieces(PathOrigin::TextSink sink, void* context) : sink(sink), context(context) {}

    Pieces& operator<<(std::string_view piece)
    {
        sink(piece, context);
        return *this;
    }

    Pieces& operator<<(long number)
    {
        char digits[24];
        return *this << std::string_view(digits, std::to_chars(digits, std::end(digits), number).ptr - digits);
    }

private:
    PathOrigin::TextSink sink;
    void* context;
};

// The names a search looks for, each once, in the order first looked for:
// "a, b and c".
void putNamesLookedFor(Pieces& out, Answer answer)
{
    if (answer != Answer::pdfViewer) {
        out << briskoName;
        return;
    }
    const char* names[std::size(viewers)];
    std::size_t count = 0;
    for (const Viewer& viewer : viewers)
        if (std::none_of(names, names + count, [&](const char* name) { return std::strcmp(name, viewer.name) == 0; }))
            names[count++] = viewer.name;
    for (std::size_t i = 0; i < count; ++i)
        out << (i == 0 ? "" : i + 1 < count ? ", " : " and ") << names[i];
}

void putSettingName(Pieces& out, const Fact& fact)
{
    out << text(fact.name) << " in [" << text(fact.detail) << "]";
}

void putWhere(Pieces& out, const Fact& fact)
{
    out << text(fact.value) << ":" << fact.number << ": ";
}

}

void PathOrigin::forEachFact(Answer answer, FactSink sink, void* context)
{
    Explainer(sink, context).explain(answer, 0);
}

void PathOrigin::describe(const Fact& fact, TextSink sink, void* context)
{
    Pieces out(sink, context);
    const std::string_view name = text(fact.name);
    const std::string_view value = text(fact.value);
    switch (fact.kind) {
    case Kind::variable: out << name << "=" << value; break;
    case Kind::variableUnset: out << name << " not set"; break;
    case Kind::variableNotCopied: out << name << " set, but passed over: no memory for its copy"; break;
    case Kind::passwordEntry: out << "uid " << fact.number << ": login " << name << ", home " << value; break;
    case Kind::noPasswordEntry: out << "uid " << fact.number << ": no password entry"; break;
    case Kind::hostName:
        out << "host name " << name;
        if (std::strcmp(orEmpty(fact.name), orEmpty(fact.value)) != 0)
            out << ", kept " << value;
        break;
    case Kind::noHostName: out << "no host name"; break;
    case Kind::emptyElement: out << "empty PATH elements skipped: the current directory is not searched"; break;
    case Kind::candidate: out << value << ": " << wordsFor(candidateWords, fact.number); break;
    case Kind::noneFound:
        out << "none found (looked for ";
        putNamesLookedFor(out, static_cast<Answer>(fact.number));
        out << ")";
        break;
    case Kind::registryFile: out << "registry file " << value << ": " << wordsFor(fileWords, fact.number); break;
    case Kind::setting:
        putWhere(out, fact);
        putSettingName(out, fact);
        break;
    case Kind::blankSetting:
        putWhere(out, fact);
        putSettingName(out, fact);
        out << " holds white space alone";
        break;
    case Kind::settingDefault:
        putSettingName(out, fact);
        out << (fact.number > 0 ? " has no value: default " : " not found: default ") << value;
        break;
    case Kind::below: out << "below " << name << ": " << value << " + " << text(fact.detail); break;
    case Kind::named: out << "named after " << name << ": " << value; break;
    case Kind::sameAs: out << "the same as " << name << ": " << value; break;
    case Kind::normalized: out << "backslashes turned into forward slashes"; break;
    case Kind::fixed: out << (fact.name ? "default: " : "fixed: ") << value; break;
    case Kind::fallback:
        out << "fallback " << value
            << (fact.number == static_cast<long>(Fallback::notLocated) ? ": the installation is not located"
                                                                        : ": out of memory");
        break;
    case Kind::stored: out << "stored by the program before the first query"; break;
    case Kind::noSource: out << "no source: only the program may store it"; break;
    case Kind::notRead:
        putSettingName(out, fact);
        out << " not read: the program stored the Fennet program directory";
        break;
    case Kind::notAsked: out << "not asked for yet"; break;
    }
}

void PathOrigin::summarize(Answer answer, TextSink sink, void* context)
{
    Pieces out(sink, context);
    const Reading seen = readingOf(answer);
    if (!seen.asked) {
        out << "not asked for yet";
        return;
    }
    switch (seen.trace.made) {
    case Made::notYet:
    case Made::kept: out << (seen.text ? "stored" : "no source"); break;
    case Made::fromVariable: out << "from " << seen.variable; break;
    case Made::below: out << "below " << baseWords(seen.source); break;
    case Made::sameAs: out << "the same as " << baseWords(seen.source); break;
    case Made::named: out << "named after the login"; break;
    case Made::fallback:
        out << (seen.trace.number == static_cast<long>(Fallback::notLocated) ? "default" : "out of memory");
        break;
    case Made::fixed: out << (seen.variable ? "default" : "fixed"); break;
    case Made::none: out << seen.variable << (seen.trace.notCopied ? " not copied" : " not set"); break;
    case Made::passwordEntry: out << "password entry"; break;
    case Made::noPasswordEntry: out << "no password entry"; break;
    case Made::searched:
        // Only the viewers are also looked for in the program directory.
        out << (seen.trace.number > 0 && viewers[seen.trace.number - 1].inProgBin ? "the program directory" : "PATH");
        break;
    case Made::setting:
    case Made::blankSetting: out << "registry"; break;
    case Made::settingDefault: out << "default"; break;
    case Made::notRead: out << "not read"; break;
    }
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
