// The platform object's groups: the user, the installation, the PDF viewer,
// the diskless tree, the registry and the add-on products, each computed
// once on first use.

#include <ravlinpath/Platform.h>

#include <ravlinpath/IniFile.h>
#include "Lookup.h"
#include "Search.h"
#include "Strings.h"
#include "Trace.h"

#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <tuple>
#include <pwd.h>
#include <unistd.h>

using namespace ravlinpath;

char* PathPlatform::User::name = nullptr;
char* PathPlatform::User::home = nullptr;
char* PathPlatform::User::profile = nullptr;
char* PathPlatform::Ravlin::home = nullptr;
char* PathPlatform::Ravlin::prog = nullptr;
char* PathPlatform::PdfViewer::path = nullptr;
char* PathPlatform::Diskless::inst = nullptr;
char* PathPlatform::Diskless::root = nullptr;
char* PathPlatform::Diskless::lock = nullptr;
const char* PathPlatform::Analysis::registry = nullptr;
const char* PathPlatform::Fennet::registry = nullptr;
char* PathPlatform::Fennet::prog = nullptr;
char* PathPlatform::Fennet::exe = nullptr;
char* PathPlatform::Fennet::win = nullptr;
char* PathPlatform::Brisko::path = nullptr;
char* PathPlatform::Quamby::path = nullptr;

PathPlatform::User* PathPlatform::user = nullptr;
PathPlatform::Ravlin* PathPlatform::ravlin = nullptr;
PathPlatform::PdfViewer* PathPlatform::pdfviewer = nullptr;
PathPlatform::Diskless* PathPlatform::diskless = nullptr;
PathPlatform::Analysis* PathPlatform::analysis = nullptr;
PathPlatform::Fennet* PathPlatform::fennet = nullptr;
PathPlatform::Brisko* PathPlatform::brisko = nullptr;
PathPlatform::Quamby* PathPlatform::quamby = nullptr;

namespace {

// Computes a group on first use, under the lock of answer, the group's first
// answer, from the inputs fetchInputs gives (a tuple). When its constructor
// throws, new releases the object and the pointer stays null, so the next
// call tries again.
template <typename Group, typename Fetch>
void create(Group*& group, Answer answer, Fetch fetchInputs)
{
    computeOnce(group, lockOf(answer), fetchInputs, [](const auto& inputs) {
        return std::apply([](auto... facts) { return new Group(facts...); }, inputs);
    });
}

// member of group, once the group is computed; "" when it is null.
template <typename Group, typename Text, typename Fetch = decltype(&noInputs)>
const char* memberOf(Group*& group, Answer answer, Text* const& member, Fetch fetchInputs = noInputs)
{
    create(group, answer, fetchInputs);
    return orEmpty(member);
}

// The answer of a search, normalized, traced with the candidates it tried and
// PATH as it searched it; row is 1 + the viewer that found it, or 0.
char* searched(Answer answer, TriedList& tried, char* found, long row = 0)
{
    Trace& trace = traceOf(answer);
    trace = {.made = Made::searched, .text = tried.keep(std::getenv("PATH")), .number = row, .tried = tried.first()};
    return normalized(found, trace);
}

// The installation group's input.
auto kindOf(const PathPlatform& platform)
{
    return [&platform] { return std::tuple(platform.kind); };
}

// The password-entry buffer doubles while an entry does not fit, up to this
// size; an entry larger still counts as missing.
constexpr std::size_t largestEntry = 1024 * 1024;

// Calls use with the real user's password database entry, or with null when
// there is none. Unlike getpwuid, getpwuid_r shares no storage with the
// program's own lookups in other threads.
template <typename Use>
void withRealUserEntry(Use use)
{
    passwd entry;
    passwd* found = nullptr;
    char small[1024];
    std::unique_ptr<char[]> large;
    char* buffer = small;
    std::size_t size = sizeof small;
    while (getpwuid_r(getuid(), &entry, buffer, size, &found) == ERANGE) {
        found = nullptr;
        if (size >= largestEntry)
            break;
        size *= 2;
        large.reset(new char[size]);
        buffer = large.get();
    }
    use(found);
}

constexpr int settingSize = 4096;

// A copy of a setting read from the registry; "" when it cannot be allocated.
char* settingCopy(const char* setting, Answer answer)
{
    if (char* copy = copyString(setting))
        return copy;
    traceOutOfMemory(answer);
    return fixedText("");
}

// How a setting was found: out holds the value read, the default, or "" for
// a value of white space alone.
void traceSetting(Trace& trace, int found, const char* out, const Lookup& lookup)
{
    trace = {};
    trace.fileState = lookup.file;
    trace.number = lookup.line;
    trace.made = found ? Made::setting : *out ? Made::settingDefault : Made::blankSetting;
}

// Reads one Fennet setting from the registry into out, with its default.
int readSetting(const Setting& setting, const char* section, char* out, int size, Lookup& lookup)
{
    return lookUpProfileString(section, setting.key, fallbackOf(setting.answer), out, size,
                               published(PathPlatform::Fennet::registry), lookup);
}

}

namespace {

// How a member of the user group was made: copied from the entry (or not,
// for want of memory), or kept as the program stored it, or neither for want
// of an entry.
Trace userTrace(const char* member, bool fromEntry, long uid)
{
    if (fromEntry && !member)
        return {.made = Made::fallback, .number = static_cast<long>(PathOrigin::Fallback::outOfMemory)};
    if (fromEntry)
        return {.made = Made::passwordEntry, .number = uid};
    return {.made = member ? Made::kept : Made::noPasswordEntry, .number = uid};
}

}

// Each member keeps a value stored before the group was computed when the
// entry does not replace it.
PathPlatform::User::User()
{
    bool nameFromEntry = false;
    bool homeFromEntry = false;
    withRealUserEntry([&](const passwd* entry) {
        if (entry && entry->pw_name) {
            name = copyString(entry->pw_name);
            nameFromEntry = true;
        }
        if (entry && entry->pw_dir) {
            home = profile = copyString(entry->pw_dir);
            homeFromEntry = true;
        }
    });
    const long uid = getuid();
    traceOf(Answer::userName) = userTrace(name, nameFromEntry, uid);
    Trace& homeTrace = traceOf(Answer::userHome) = userTrace(home, homeFromEntry, uid);
    normalized(home, homeTrace);
    // Each entry fact shows the home as the entry holds it.
    traceOf(Answer::userName).text = homeTrace.text;
    traceOf(Answer::userProfile) = profile == home ? homeTrace : userTrace(profile, false, uid);
}

const Family& ravlinpath::familyOf(int kind)
{
    return kind == PathPlatform::kindTazlo ? tazloFamily : ravlinFamily;
}

PathPlatform::Ravlin::Ravlin(int kind)
{
    const Family& family = familyOf(kind);
    home = compose(Answer::home, family, nullptr);
    prog = compose(Answer::prog, family, home);
}

PathPlatform::PdfViewer::PdfViewer(const char* prog)
{
    TriedList tried;
    long found = 0;
    for (const Viewer& viewer : viewers) {
        path = viewer.inProgBin ? findInProgBin(prog, viewer.name, &tried) : findOnPath(viewer.name, &tried);
        if (path) {
            found = &viewer - viewers + 1;
            break;
        }
    }
    path = searched(Answer::pdfViewer, tried, path, found);
}

PathPlatform::Diskless::Diskless()
{
    const Family& noFamily = ravlinFamily;
    inst = compose(Answer::disklessInst, noFamily, nullptr);
    root = compose(Answer::disklessRoot, noFamily, inst);
    lock = compose(Answer::disklessLock, noFamily, inst);
}

PathPlatform::Analysis::Analysis()
{
    if (registry)
        traceOf(Answer::registryFile) = {.made = Made::kept};
    else
        registry = compose(Answer::registryFile, ravlinFamily, nullptr);
}

PathPlatform::Fennet::Fennet(const char* registryFile)
{
    if (!registry)
        publish(registry, registryFile);
    // A program directory stored before the first query stops the reading.
    if (prog) {
        char* const kept[] = {prog, exe, win};
        for (std::size_t i = 0; i < std::size(fennetSettings); ++i)
            traceOf(fennetSettings[i].answer) = {.made = kept[i] ? Made::kept : Made::notRead};
        normalized(prog, traceOf(Answer::fennetProg));
        return;
    }
    char values[std::size(fennetSettings)][settingSize + 1] = {};
    for (std::size_t i = 0; i < std::size(fennetSettings); ++i) {
        Lookup lookup;
        const int found = readSetting(fennetSettings[i], fennetSection, values[i], settingSize, lookup);
        traceSetting(traceOf(fennetSettings[i].answer), found, values[i], lookup);
    }
    // A setting of white space alone replaces the default with "", but not a
    // name or window stored before the first query.
    prog = normalized(settingCopy(values[0], Answer::fennetProg), traceOf(Answer::fennetProg));
    char** stored[] = {&exe, &win};
    for (std::size_t i = 1; i < std::size(fennetSettings); ++i) {
        char*& member = *stored[i - 1];
        if (*values[i] || !member)
            member = settingCopy(values[i], fennetSettings[i].answer);
        else
            traceOf(fennetSettings[i].answer).made = Made::kept;
    }
}

void PathPlatform::Fennet::readSettings(const char* section, char* progOut, char* nameOut, char* winOut, int size)
{
    char* outs[] = {progOut, nameOut, winOut};
    for (std::size_t i = 0; i < std::size(fennetSettings); ++i) {
        Lookup lookup;
        if (outs[i])
            readSetting(fennetSettings[i], section, outs[i], size, lookup);
    }
}

PathPlatform::Brisko::Brisko()
{
    TriedList tried;
    path = searched(Answer::brisko, tried, findOnPath(briskoName, &tried));
}

const char* PathPlatform::userName() { return memberOf(user, Answer::userName, User::name); }
const char* PathPlatform::userHome() { return memberOf(user, Answer::userHome, User::home); }
const char* PathPlatform::userProfile() { return memberOf(user, Answer::userProfile, User::profile); }

const char* PathPlatform::ravlinHome() { return memberOf(ravlin, Answer::home, Ravlin::home, kindOf(*this)); }
const char* PathPlatform::ravlinProg() { return memberOf(ravlin, Answer::home, Ravlin::prog, kindOf(*this)); }

const char* PathPlatform::pdfViewerPath()
{
    create(pdfviewer, Answer::pdfViewer, [this] { return std::tuple(ravlinProg()); });
    return PdfViewer::path;
}

const char* PathPlatform::disklessInst() { return memberOf(diskless, Answer::disklessInst, Diskless::inst); }
const char* PathPlatform::disklessRoot() { return memberOf(diskless, Answer::disklessRoot, Diskless::root); }
const char* PathPlatform::disklessLock() { return memberOf(diskless, Answer::disklessLock, Diskless::lock); }
const char* PathPlatform::analysisRegistry() { return memberOf(analysis, Answer::registryFile, Analysis::registry); }

// The Fennet group's input, the registry file's name, is fetched only while
// the group is still to be computed.
void PathPlatform::createFennet()
{
    create(fennet, Answer::fennetProg, [this] { return std::tuple(analysisRegistry()); });
}

const char* PathPlatform::fennetProg()
{
    createFennet();
    return orEmpty(Fennet::prog);
}

const char* PathPlatform::fennetExe()
{
    createFennet();
    return orEmpty(Fennet::exe);
}

const char* PathPlatform::fennetWin()
{
    createFennet();
    return orEmpty(Fennet::win);
}

const char* PathPlatform::briskoPath()
{
    create(brisko, Answer::brisko, noInputs);
    return Brisko::path;
}

const char* PathPlatform::quambyPath()
{
    create(quamby, Answer::quamby, noInputs);
    return Quamby::path;
}
