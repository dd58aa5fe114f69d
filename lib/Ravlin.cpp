#include <ravlinpath/Ravlin.h>

#include <ravlinpath/Base.h>

#include "Fixed.h"
#include "Once.h"
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

// The nine tree paths are computed together, under one lock; the dot
// directory and the current-directory file each have their own.
constinit Lock treeLock;
constinit Lock dotLock;
constinit Lock curDirLock;

// Set, with treeLock held, once the nine tree paths have been computed.
bool treeComputed = false;

const Family& family()
{
    return familyOf(PathBase::platform.kind);
}

// Where a directory of the tree lies: below base, unless a variable names it.
struct Placement {
    char*& member;
    const char* variable;
    const char* below;
    const char* fallback;
};

// base + "/" + below, normalized; the fallback when it cannot be allocated.
char* placedBelow(const char* base, const Placement& placement)
{
    char* path = orFixed(joinStrings({base, "/", placement.below}), placement.fallback);
    normalizeSlashes(path);
    return path;
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
    const char* home = PathBase::platform.ravlinHome();
    const char* prog = PathBase::platform.ravlinProg();
    std::lock_guard held(treeLock);
    if (treeComputed)
        return;
    const Family& variables = family();
    const Placement overridable[] = {
        {expPath, variables.exp, "exp", fallback::exp},
        {confPath, variables.conf, "conf", fallback::conf},
        {plotPath, variables.plot, "plot", fallback::plot},
        {layoutPath, variables.layout, "plot/layouts", fallback::layout},
        {printPath, variables.print, "print", fallback::print},
    };
    const Placement belowProg[] = {
        {docuPath, nullptr, "docu", fallback::docu},
        {appPath, nullptr, "app-defaults", fallback::appDefaults},
        {hintsPath, nullptr, "hints", fallback::hints},
    };

    // An override set to the empty string counts as set; one whose copy
    // cannot be allocated is treated as unset.
    for (const Placement& placement : overridable) {
        char* path = copyString(std::getenv(placement.variable));
        normalizeSlashes(path);
        publish(placement.member, path ? path : placedBelow(home, placement));
    }
    initExpStanPath(PathBase::platform.kind == PathPlatform::kindTazlo);
    for (const Placement& placement : belowProg)
        publish(placement.member, placedBelow(prog, placement));
    treeComputed = true;
}

// The standard experiments follow the experiment directory, overridden or
// not. A stored path is kept; it may be answered already, so its normalized
// text goes into a copy rather than over the stored text.
void PathRavlin::initExpStanPath(bool tazlo)
{
    if (expStanPath) {
        if (std::strchr(expStanPath, '\\'))
            if (char* copy = copyString(expStanPath)) {
                normalizeSlashes(copy);
                publish(expStanPath, copy);
            }
        return;
    }
    const Family& variables = tazlo ? tazloFamily : ravlinFamily;
    const char* stan = std::getenv(variables.stan);
    if (!stan && *variables.stanBelowExp)
        stan = variables.stanBelowExp;
    char* path = orFixed(stan ? joinStrings({expPath, "/", stan}) : copyString(expPath), variables.expStanFallback);
    normalizeSlashes(path);
    publish(expStanPath, path);
}

const char* PathRavlin::dotDir()
{
    if (const char* path = published(dotPath))
        return path;
    const char* home = PathBase::platform.userHome();
    // One byte more than gethostname is given, so a name that fills the
    // buffer still ends in a NUL.
    char host[257] = {};
    if (gethostname(host, 256) != 0)
        host[0] = '\0';
    if (char* domain = std::strchr(host, '.'))
        *domain = '\0';
    const Family& names = family();
    const char* path = computeOnce(dotPath, dotLock, [&] {
        char* joined = joinStrings({home, names.dotPrefix, host});
        normalizeSlashes(joined);
        return joined;
    });
    return path ? path : names.dotFallback;
}

const char* PathRavlin::curDirFile()
{
    if (const char* path = published(curDirPath))
        return path;
    const char* name = PathBase::platform.userName();
    if (!*name)
        return "";
    return orEmpty(computeOnce(curDirPath, curDirLock, [&] { return joinStrings({"curdir/", name}); }));
}
