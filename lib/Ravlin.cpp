#include <ravlinpath/Ravlin.h>

#include <ravlinpath/Base.h>
#include "Strings.h"

#include <cstdlib>
#include <cstring>
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

bool isTazlo()
{
    return PathBase::platform.kind == PathPlatform::kindTazlo;
}

// A tree path: below base unless overridden by a variable.
struct TreePath {
    char*& member;
    const char* variable;
    const char* below;
    const char* fallback;
};

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
    if (!member)
        initPaths();
    return member;
}

void PathRavlin::initPaths()
{
    const char* home = PathBase::platform.ravlinHome();
    const char* prog = PathBase::platform.ravlinProg();
    const bool tazlo = isTazlo();
    const TreePath overridable[] = {
        {expPath, tazlo ? "TAZLO_EXP" : "RAVLINEXP", "exp", "/undefined/exp"},
        {confPath, tazlo ? "TAZLO_CONF" : "RAVLINCONF", "conf", "/undefined/conf"},
        {plotPath, tazlo ? "TAZLO_PLOT" : "RAVLINPLOT", "plot", "/undefined/plot"},
        {layoutPath, tazlo ? "TAZLO_LAYOUT" : "RAVLINLAYOUT", "plot/layouts", "/undefined/plot/layouts"},
        {printPath, tazlo ? "TAZLO_PRINT" : "RAVLINPRINT", "print", "/undefined/print"},
    };
    const TreePath belowProg[] = {
        {docuPath, nullptr, "docu", "/undefined/prog/docu"},
        {appPath, nullptr, "app-defaults", "/undefined/prog/app-defaults"},
        {hintsPath, nullptr, "hints", "/undefined/prog/hints"},
    };

    // An override set to the empty string counts as set; one whose copy
    // cannot be allocated is treated as unset.
    for (const TreePath& path : overridable)
        path.member = copyString(std::getenv(path.variable));
    for (const TreePath& path : overridable) {
        if (!path.member)
            path.member = orFixed(joinStrings({home, "/", path.below}), path.fallback);
        normalizeSlashes(path.member);
    }
    initExpStanPath(tazlo);
    for (const TreePath& path : belowProg) {
        path.member = orFixed(joinStrings({prog, "/", path.below}), path.fallback);
        normalizeSlashes(path.member);
    }
}

// The standard experiments follow the experiment directory, overridden or not.
void PathRavlin::initExpStanPath(bool tazlo)
{
    if (!expStanPath) {
        const char* stan = std::getenv(tazlo ? "TAZLO_STAN" : "PLENKO_STAN");
        if (tazlo)
            expStanPath = stan ? joinStrings({expPath, "/", stan}) : copyString(expPath);
        else
            expStanPath = joinStrings({expPath, "/", stan ? stan : "stan"});
        expStanPath = orFixed(expStanPath, tazlo ? "/undefined/exp" : "/undefined/exp/stan");
    }
    normalizeSlashes(expStanPath);
}

const char* PathRavlin::dotDir()
{
    if (dotPath)
        return dotPath;
    const char* home = PathBase::platform.userHome();
    // One byte more than gethostname is given, so a name that fills the
    // buffer still ends in a NUL.
    char host[257] = {};
    if (gethostname(host, 256) != 0)
        host[0] = '\0';
    if (char* domain = std::strchr(host, '.'))
        *domain = '\0';
    const bool tazlo = isTazlo();
    dotPath = joinStrings({home, tazlo ? "/.tazlo-" : "/.morvel-", host});
    if (!dotPath)
        return tazlo ? ".tazlo" : ".morvel";
    normalizeSlashes(dotPath);
    return dotPath;
}

const char* PathRavlin::curDirFile()
{
    if (curDirPath)
        return curDirPath;
    const char* name = PathBase::platform.userName();
    if (*name)
        curDirPath = joinStrings({"curdir/", name});
    return orEmpty(curDirPath);
}
