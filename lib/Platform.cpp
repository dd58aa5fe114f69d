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

// Computes a group on first use. When its constructor throws, new releases
// the object and the pointer stays null, so the next call tries again.
template <typename Group, typename... Facts>
void create(Group*& group, Facts... facts)
{
    computeOnce(group, [&] { return new Group(facts...); });
}

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

PathPlatform::Ravlin::Ravlin(int kind)
{
    const bool tazlo = isTazlo(kind);
    home = orFixed(copyString(std::getenv(tazlo ? "TAZLO_HOME" : "RAVLINHOME")), fallback::home);
    prog = copyString(std::getenv(tazlo ? "TAZLO_PROG" : "RAVLINPROG"));
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
        registry = registryFile;
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
            readProfileString(section, setting.key, setting.defaultValue, setting.out, size, registry);
}

PathPlatform::Brisko::Brisko()
{
    path = findOnPath("brisko");
    normalizeSlashes(path);
}

const char* PathPlatform::userName()
{
    create(user);
    return orEmpty(User::name);
}

const char* PathPlatform::userHome()
{
    create(user);
    return orEmpty(User::home);
}

const char* PathPlatform::userProfile()
{
    create(user);
    return orEmpty(User::profile);
}

const char* PathPlatform::ravlinHome()
{
    create(ravlin, kind);
    return orEmpty(Ravlin::home);
}

const char* PathPlatform::ravlinProg()
{
    create(ravlin, kind);
    return orEmpty(Ravlin::prog);
}

const char* PathPlatform::pdfViewerPath()
{
    if (!published(pdfviewer))
        create(pdfviewer, ravlinProg());
    return PdfViewer::path;
}

const char* PathPlatform::disklessInst()
{
    create(diskless);
    return orEmpty(Diskless::inst);
}

const char* PathPlatform::disklessRoot()
{
    create(diskless);
    return orEmpty(Diskless::root);
}

const char* PathPlatform::disklessLock()
{
    create(diskless);
    return orEmpty(Diskless::lock);
}

const char* PathPlatform::analysisRegistry()
{
    create(analysis);
    return orEmpty(Analysis::registry);
}

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
