#include <ravlinpath/Platform.h>

#include <ravlinpath/IniFile.h>
#include "Fixed.h"
#include "Once.h"
#include "Search.h"
#include "Strings.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
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

// One lock per group: a group's first query waits only for that group.
template <typename Group>
constinit Lock groupLock;

// Computes a group on first use. When its constructor throws, new releases
// the object and the pointer stays null, so the next call tries again.
template <typename Group, typename... Facts>
void create(Group*& group, Facts... facts)
{
    computeOnce(group, groupLock<Group>, [&] { return new Group(facts...); });
}

// member of group, once the group is computed from facts; "" when it is null.
template <typename Group, typename Text, typename... Facts>
const char* memberOf(Group*& group, Text* const& member, Facts... facts)
{
    create(group, facts...);
    return orEmpty(member);
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
char* settingCopy(const char* setting)
{
    return orFixed(copyString(setting), "");
}

}

PathPlatform::User::User()
{
    withRealUserEntry([](const passwd* entry) {
        if (entry && entry->pw_name)
            name = copyString(entry->pw_name);
        if (entry && entry->pw_dir)
            home = profile = copyString(entry->pw_dir);
    });
    normalizeSlashes(home);
}

const Family& ravlinpath::familyOf(int kind)
{
    return kind == PathPlatform::kindTazlo ? tazloFamily : ravlinFamily;
}

PathPlatform::Ravlin::Ravlin(int kind)
{
    const Family& family = familyOf(kind);
    home = orFixed(copyString(std::getenv(family.home)), fallback::home);
    prog = copyString(std::getenv(family.prog));
    if (!prog)
        prog = orFixed(joinStrings({home, "/", "prog"}), fallback::prog);
    normalizeSlashes(home);
    normalizeSlashes(prog);
}

PathPlatform::PdfViewer::PdfViewer(const char* prog)
{
    path = findOnPath("acroread");
    if (!path)
        path = findInProgBin(prog, "acroread");
    if (!path)
        path = findOnPath("evince");
    if (!path)
        path = findOnPath("xpdf");
    if (!path)
        path = findInProgBin(prog, "xpdf");
    normalizeSlashes(path);
}

PathPlatform::Diskless::Diskless()
{
    inst = fixedText(fallback::disklessInst);
    root = orFixed(joinStrings({inst, "/clients/spect/root"}), fallback::disklessRoot);
    lock = orFixed(joinStrings({inst, "/clients/spect/lock"}), fallback::disklessLock);
    normalizeSlashes(root);
    normalizeSlashes(lock);
}

PathPlatform::Analysis::Analysis()
{
    if (!registry)
        registry = copyString(std::getenv("HALVIK_REGISTRY_FILE"));
    if (!registry)
        registry = "/usr/Halvik/Software.ini";
}

PathPlatform::Fennet::Fennet(const char* registryFile)
{
    if (!registry)
        publish(registry, registryFile);
    if (prog) {
        normalizeSlashes(prog);
        return;
    }
    char progSetting[settingSize + 1] = {};
    char nameSetting[settingSize + 1] = {};
    char winSetting[settingSize + 1] = {};
    readSettings("Zoltra-Fennet", progSetting, nameSetting, winSetting, settingSize);
    // A setting of white space alone replaces the default with "".
    prog = settingCopy(progSetting);
    if (*nameSetting || !exe)
        exe = settingCopy(nameSetting);
    if (*winSetting || !win)
        win = settingCopy(winSetting);
    normalizeSlashes(prog);
}

void PathPlatform::Fennet::readSettings(const char* section, char* progOut, char* nameOut, char* winOut, int size)
{
    const struct {
        char* out;
        const char* key;
        const char* defaultValue;
    } settings[] = {
        {progOut, "ProgPath", "/usr/prog/zoltra-fennet"},
        {nameOut, "ProgName", "zoltra"},
        {winOut, "WinName", "ZoltraMain"},
    };
    for (const auto& setting : settings)
        if (setting.out)
            readProfileString(section, setting.key, setting.defaultValue, setting.out, size, published(registry));
}

PathPlatform::Brisko::Brisko()
{
    path = findOnPath("brisko");
    normalizeSlashes(path);
}

const char* PathPlatform::userName() { return memberOf(user, User::name); }
const char* PathPlatform::userHome() { return memberOf(user, User::home); }
const char* PathPlatform::userProfile() { return memberOf(user, User::profile); }

const char* PathPlatform::ravlinHome() { return memberOf(ravlin, Ravlin::home, kind); }
const char* PathPlatform::ravlinProg() { return memberOf(ravlin, Ravlin::prog, kind); }

const char* PathPlatform::pdfViewerPath()
{
    if (!published(pdfviewer))
        create(pdfviewer, ravlinProg());
    return PdfViewer::path;
}

const char* PathPlatform::disklessInst() { return memberOf(diskless, Diskless::inst); }
const char* PathPlatform::disklessRoot() { return memberOf(diskless, Diskless::root); }
const char* PathPlatform::disklessLock() { return memberOf(diskless, Diskless::lock); }
const char* PathPlatform::analysisRegistry() { return memberOf(analysis, Analysis::registry); }

// The Fennet group's input, the registry file's name, is fetched only while
// the group is still to be computed.
void PathPlatform::createFennet()
{
    if (!published(fennet))
        create(fennet, analysisRegistry());
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
    create(brisko);
    return Brisko::path;
}

const char* PathPlatform::quambyPath()
{
    create(quamby);
    return Quamby::path;
}
