// The installation tree, the per-user dot directory and current-directory
// file, and the diskless paths.

#include <ravlinpath/Ravlin.h>

#include <ravlinpath/Base.h>

#include "Strings.h"
#include "Trace.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <string_view>
#include <tuple>
#include <utility>
#include <unistd.h>

using namespace ravlinpath;

char* PathRavlin::expPath = nullptr;
char* PathRavlin::expStanPath = nullptr;
char* PathRavlin::confPath = nullptr;
char* PathRavlin::plotPath = nullptr;
char* PathRavlin::layoutPath = nullptr;
char* PathRavlin::printPath = nullptr;
char* PathRavlin::docuPath = nullptr;
char* PathRavlin::appPath = nullptr;
char* PathRavlin::hintsPath = nullptr;
char* PathRavlin::dotPath = nullptr;
char* PathRavlin::curDirPath = nullptr;

namespace {

// Set once the tree paths have been computed.
constexpr bool treeDone = true;
const bool* tree = nullptr;

const Family& family()
{
    return familyOf(PathBase::platform.kind);
}

// The member that holds a tree path other than the standard experiments'.
char*& treeMember(Answer answer)
{
    switch (answer) {
    case Answer::exp: return PathRavlin::expPath;
    case Answer::conf: return PathRavlin::confPath;
    case Answer::plot: return PathRavlin::plotPath;
    case Answer::layout: return PathRavlin::layoutPath;
    case Answer::print: return PathRavlin::printPath;
    case Answer::docu: return PathRavlin::docuPath;
    case Answer::appDefaults: return PathRavlin::appPath;
    case Answer::hints:
    default: return PathRavlin::hintsPath;
    }
}

// The tree's directories lie below the home or the program directory.
template <typename Text>
Text baseOf(Answer answer, Text home, Text prog)
{
    return sourceOf(answer).base == Answer::home ? home : prog;
}

// An answer of the tree as its source row makes it: the variable's value,
// or base + "/" + below.
struct Planned {
    Made made;
    std::string_view parts[3];
    std::size_t size() const { return parts[0].size() + parts[1].size() + parts[2].size(); }
};

// Planned for each answer apart, so that what its row says is known as the
// program is compiled, which saves a start-up the table's lookups.
template <Answer answer>
Planned planned(const Family& names, std::string_view home, std::string_view prog)
{
    constexpr const Source& source = sourceOf(answer);
    if constexpr (source.variable != nullptr)
        if (const char* value = std::getenv(names.*source.variable))
            return {Made::fromVariable, {value, "", ""}};
    return {Made::below, {baseOf(answer, home, prog), "/", std::string_view(source.below)}};
}

template <std::size_t... index>
void planTree(Planned* plans, const Family& names, std::string_view home, std::string_view prog,
              std::index_sequence<index...>)
{
    ((plans[index] = planned<treeAnswers[index]>(names, home, prog)), ...);
}

// The standard experiments: the experiment directory + "/" + joined, or the
// experiment directory itself; stan is the value of their variable.
struct PlannedStan {
    Made made;
    const char* joined;
    const char* stan;
    Planned below(const char* exp) const { return {made, {exp, made == Made::sameAs ? "" : "/", joined}}; }
};

PlannedStan plannedExpStan(const Family& names)
{
    const char* stan = std::getenv(names.stan);
    const char* joined = stan ? stan : names.stanBelowExp;
    return {!stan && !*joined ? Made::sameAs : Made::below, joined, stan};
}

// The standard experiments' path from its plan, traced.
void traceExpStan(const PlannedStan& plan)
{
    Trace& trace = traceOf(Answer::expStan);
    trace = {.made = plan.made};
    if (plan.stan)
        trace.text = copyString(plan.stan);
}

// The standard experiments' path, kept where the program stored it; it may
// be answered already, so its normalized text goes into a copy rather than
// over the stored text.
char* keptExpStan()
{
    Trace& trace = traceOf(Answer::expStan);
    trace = {.made = Made::kept};
    char* stored = PathRavlin::expStanPath;
    char* copy = holdsBackslash(stored) ? copyString(stored) : nullptr;
    return copy ? normalized(copy, trace) : stored;
}

// The nine tree paths in one allocation, which is what a query of any of them
// costs at start-up; false when it cannot be allocated. The bases are
// normalized already, so only the variables' values are looked at again.
bool composeTreeTogether(const Family& names, std::string_view home, std::string_view prog)
{
    Planned plans[std::size(treeAnswers)];
    planTree(plans, names, home, prog, std::make_index_sequence<std::size(treeAnswers)>());
    std::size_t total = 0;
    for (const Planned& plan : plans)
        total += plan.size() + 1;
    const bool stanStored = PathRavlin::expStanPath;
    const PlannedStan stan = stanStored ? PlannedStan{} : plannedExpStan(names);
    if (!stanStored)
        total += plans[0].size() + stan.below("").size() + 1;
    char* memory = new (std::nothrow) char[total];
    if (!memory)
        return false;
    for (std::size_t i = 0; i < std::size(treeAnswers); ++i) {
        const Planned& plan = plans[i];
        joinInto(memory, plan.size() + 1, {plan.parts[0], plan.parts[1], plan.parts[2]});
        Trace& trace = traceOf(treeAnswers[i]);
        trace = {.made = plan.made};
        publish(treeMember(treeAnswers[i]), plan.made == Made::fromVariable ? normalized(memory, trace) : memory);
        memory += plan.size() + 1;
    }
    if (stanStored) {
        publish(PathRavlin::expStanPath, keptExpStan());
        return true;
    }
    const Planned plan = stan.below(PathRavlin::expPath);
    joinInto(memory, plan.size() + 1, {plan.parts[0], plan.parts[1], plan.parts[2]});
    traceExpStan(stan);
    publish(PathRavlin::expStanPath, stan.stan ? normalized(memory, traceOf(Answer::expStan)) : memory);
    return true;
}

// The host name as the system gives it; "" when it gives none.
struct Host {
    char name[257];  // one byte more than gethostname is given, so that a full buffer still ends in a NUL
};

// Up to the first dot, found by a loop of its own rather than memchr, which a
// command would bind at start-up for this one call.
std::string_view shortHost(const Host& host)
{
    std::size_t length = 0;
    while (host.name[length] && host.name[length] != '.')
        ++length;
    return {host.name, length};
}

Host hostName()
{
    Host host = {};
    if (gethostname(host.name, 256) != 0)
        host.name[0] = '\0';
    return host;
}

}

const char* PathRavlin::homeDir() { return PathBase::platform.ravlinHome(); }
const char* PathRavlin::progDir() { return PathBase::platform.ravlinProg(); }
const char* PathRavlin::expDir() { return treePath(expPath); }
const char* PathRavlin::expStanDir() { return treePath(expStanPath); }
const char* PathRavlin::confDir() { return treePath(confPath); }
const char* PathRavlin::plotDir() { return treePath(plotPath); }
const char* PathRavlin::layoutDir() { return treePath(layoutPath); }
const char* PathRavlin::printDir() { return treePath(printPath); }
const char* PathRavlin::docuDir() { return treePath(docuPath); }
const char* PathRavlin::appDefaultsDir() { return treePath(appPath); }
const char* PathRavlin::hintsDir() { return treePath(hintsPath); }
const char* PathRavlin::disklessInst() { return PathBase::platform.disklessInst(); }
const char* PathRavlin::disklessRoot() { return PathBase::platform.disklessRoot(); }
const char* PathRavlin::disklessLock() { return PathBase::platform.disklessLock(); }
int PathRavlin::platformKind() { return PathBase::platform.kind; }

const char* PathRavlin::treePath(char* const& member)
{
    if (const char* path = published(member))
        return path;
    initPaths();
    return published(member);
}

// Computes the nine tree paths together, once. Each is published complete,
// so a thread that answers one of them while they are computed never sees a
// half-made path.
void PathRavlin::initPaths()
{
    computeOnce(tree, lockOf(Answer::exp),
                [] { return std::tuple(PathBase::platform.ravlinHome(), PathBase::platform.ravlinProg()); },
                [](const auto& inputs) {
                    const auto [home, prog] = inputs;
                    const Family& names = family();
                    if (composeTreeTogether(names, home, prog))
                        return &treeDone;
                    // Short of memory, each is allocated, or falls back, alone.
                    for (Answer answer : treeAnswers)
                        publish(treeMember(answer), compose(answer, names, baseOf(answer, home, prog)));
                    initExpStanPath(PathBase::platform.kind == PathPlatform::kindTazlo);
                    return &treeDone;
                });
}

// The standard experiments follow the experiment directory, overridden or
// not. This is the way when memory is short: an allocation of their own.
void PathRavlin::initExpStanPath(bool tazlo)
{
    if (expStanPath) {
        publish(expStanPath, keptExpStan());
        return;
    }
    const Family& names = tazlo ? tazloFamily : ravlinFamily;
    const PlannedStan stan = plannedExpStan(names);
    const Planned plan = stan.below(expPath);
    char* path = joinStrings({plan.parts[0], plan.parts[1], plan.parts[2]});
    if (!path) {
        traceOutOfMemory(Answer::expStan);
        publish(expStanPath, fixedText(names.expStanFallback));
        return;
    }
    traceExpStan(stan);
    publish(expStanPath, normalized(path, traceOf(Answer::expStan)));
}

const char* PathRavlin::dotDir()
{
    const Family& names = family();
    const char* path = computeOnce(
        dotPath, lockOf(Answer::dot), [] { return std::tuple(PathBase::platform.userHome(), hostName()); },
        [&](const auto& inputs) -> char* {
            const auto& [home, host] = inputs;
            const std::string_view full = host.name;
            const std::string_view kept = shortHost(host);
            char* joined = joinStrings({home, names.dotPrefix, kept});
            if (!joined) {
                traceOutOfMemory(Answer::dot, names.dotFallback);
                return joined;
            }
            Trace& trace = traceOf(Answer::dot);
            // The host name is kept whole when the answer does not show it so.
            const bool shown = kept.size() == full.size() && !holdsBackslash(host.name);
            trace = {.made = Made::below, .text = shown ? nullptr : copyString(host.name)};
            return normalized(joined, trace);
        });
    return path ? path : names.dotFallback;
}

// Without a password entry there is no file, and the next query asks again.
const char* PathRavlin::curDirFile()
{
    return orEmpty(computeOnce(curDirPath, lockOf(Answer::curDir), [] { return PathBase::platform.userName(); },
                               [](const char* name) -> char* {
                                   traceOf(Answer::curDir) = {.made = *name ? Made::named : Made::noPasswordEntry};
                                   char* path = *name ? joinStrings({"curdir/", name}) : nullptr;
                                   if (*name && !path)
                                       traceOutOfMemory(Answer::curDir);
                                   return path;
                               }));
}
