// The machine's locations: the temporary directory and the Lumeva location,
// and the answers of the platform's groups that belong to the machine.

#include <ravlinpath/System.h>

#include <ravlinpath/Base.h>
#include "Strings.h"
#include "Trace.h"

using namespace ravlinpath;

char* PathSystem::tmpDir = nullptr;
PathSystem::Lumeva* PathSystem::lumeva = nullptr;

// LUMEVA is read alike by both families.
PathSystem::Lumeva::Lumeva() : path(compose(Answer::lumeva, ravlinFamily, nullptr)) {}

const char* PathSystem::pdfViewerPath() { return PathBase::platform.pdfViewerPath(); }
const char* PathSystem::userHome() { return PathBase::platform.userHome(); }
const char* PathSystem::userName() { return PathBase::platform.userName(); }
const char* PathSystem::quambyPath() { return PathBase::platform.quambyPath(); }
const char* PathSystem::briskoPath() { return PathBase::platform.briskoPath(); }
int PathSystem::platformKind() { return PathBase::platform.kind; }

const char* PathSystem::tmp()
{
    return computeOnce(tmpDir, lockOf(Answer::tmp), noInputs,
                       [](std::tuple<>) { return compose(Answer::tmp, ravlinFamily, nullptr); });
}

// When the holder cannot be allocated, out of memory travels on and the next
// query tries again.
const char* PathSystem::lumevaPath()
{
    return computeOnce(lumeva, lockOf(Answer::lumeva), noInputs, [](std::tuple<>) { return new Lumeva; })->path;
}
