#include <ravlinpath/System.h>

#include <ravlinpath/Base.h>
#include "Strings.h"

#include <cstdlib>

using namespace ravlinpath;

char* PathSystem::tmpDir = nullptr;
PathSystem::Lumeva* PathSystem::lumeva = nullptr;

PathSystem::Lumeva::Lumeva() : path(copyString(std::getenv("LUMEVA"))) {}

const char* PathSystem::pdfViewerPath() { return PathBase::platform.pdfViewerPath(); }
const char* PathSystem::userHome() { return PathBase::platform.userHome(); }
const char* PathSystem::userName() { return PathBase::platform.userName(); }
const char* PathSystem::quambyPath() { return PathBase::platform.quambyPath(); }
const char* PathSystem::briskoPath() { return PathBase::platform.briskoPath(); }
int PathSystem::platformKind() { return PathBase::platform.kind; }

const char* PathSystem::tmp()
{
    if (!tmpDir)
        tmpDir = fixedText("/tmp");
    return tmpDir;
}

const char* PathSystem::lumevaPath()
{
    if (!lumeva)
        lumeva = new Lumeva;
    return lumeva->path;
}
