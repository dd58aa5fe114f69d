#include "Platform.h"

#include "Search.h"
#include "Strings.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

char* PathPlatform::User::name = nullptr;
char* PathPlatform::User::home = nullptr;
char* PathPlatform::User::profile = nullptr;
char* PathPlatform::Ravlin::home = nullptr;
char* PathPlatform::Ravlin::prog = nullptr;
char* PathPlatform::PdfViewer::path = nullptr;
char* PathPlatform::Diskless::inst = nullptr;
char* PathPlatform::Diskless::root = nullptr;
char* PathPlatform::Diskless::lock = nullptr;

PathPlatform::User* PathPlatform::user = nullptr;
PathPlatform::Ravlin* PathPlatform::ravlin = nullptr;
PathPlatform::PdfViewer* PathPlatform::pdfviewer = nullptr;
PathPlatform::Diskless* PathPlatform::diskless = nullptr;

namespace {

// Computes a group on first use. When its constructor throws, new releases
// the object and the pointer stays null, so the next call tries again.
template <typename Group, typename... Facts>
void create(Group*& group, Facts... facts)
{
    if (!group)
        group = new Group(facts...);
}

}

PathPlatform::User::User()
{
    const passwd* entry = getpwuid(getuid());
    if (entry && entry->pw_name)
        name = copyString(entry->pw_name);
    if (entry && entry->pw_dir)
        home = profile = copyString(entry->pw_dir);
    normalizeSlashes(home);
}

PathPlatform::Ravlin::Ravlin(int kind)
{
    const bool tazlo = kind == kindTazlo;
    home = orFixed(copyString(std::getenv(tazlo ? "TAZLO_HOME" : "RAVLINHOME")), "/undefined");
    prog = copyString(std::getenv(tazlo ? "TAZLO_PROG" : "RAVLINPROG"));
    if (!prog)
        prog = orFixed(joinStrings({home, "/", "prog"}), "/undefined/prog");
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
    inst = fixedText("/usr/diskless");
    root = orFixed(joinStrings({inst, "/clients/spect/root"}), "/usr/diskless/clients/spect/root");
    lock = orFixed(joinStrings({inst, "/clients/spect/lock"}), "/usr/diskless/clients/spect/lock");
    normalizeSlashes(root);
    normalizeSlashes(lock);
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
    if (!pdfviewer)
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
