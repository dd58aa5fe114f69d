#include <ravlinpath/System.h>

#include <ravlinpath/Base.h>
#include "Fixed.h"
#include "Once.h"
#include "Strings.h"

#include <cstdlib>

using namespace ravlinpath;

char* PathSystem::tmpDir = nullptr;
PathSystem::Lumeva* PathSystem::lumeva = nullptr;

namespace {

constinit Lock tmpLock;
constinit Lock lumevaLock;

}

PathSystem::Lumeva::Lumeva() : path(copyString(std::getenv("LUMEVA"))) {}

const char* PathSystem::pdfViewerPath() { return PathBase::platform.pdfViewerPath(); }
const char* PathSystem::userHome() { return PathBase::platform.userHome(); }
const char* PathSystem::userName() { return PathBase::platform.userName(); }
const char* PathSystem::quambyPath() { return PathBase::platform.quambyPath(); }
const char* PathSystem::briskoPath() { return PathBase::platform.briskoPath(); }
int PathSystem::platformKind() { return PathBase::platform.kind; }

const char* PathSystem::tmp()
{
    return computeOnce(tmpDir, tmpLock, [] { return fixedText(fallback::tmp); });
}

// When the holder cannot be allocated, out of memory travels on and the next
// query tries again.
const char* PathSystem::lumevaPath()
{
    return computeOnce(lumeva, lumevaLock, [] { return new Lumeva; })->path;
}
