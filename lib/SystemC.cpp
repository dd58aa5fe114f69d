#include <ravlinpath/SystemC.h>

#include <ravlinpath/System.h>

#include "Fixed.h"
#include "Guard.h"

using namespace ravlinpath;

const char* pathSystemPdfViewer(void) { return answerOr(&PathSystem::pdfViewerPath, nullptr); }
const char* pathSystemLumeva(void) { return answerOr(&PathSystem::lumevaPath, ""); }
const char* pathSystemUserHome(void) { return answerOr(&PathSystem::userHome, ""); }
const char* pathSystemTmpDir(void) { return answerOr(&PathSystem::tmp, fallback::tmp); }
int pathSystemPlatform(void) { return answerOr(&PathSystem::platformKind, 0); }
