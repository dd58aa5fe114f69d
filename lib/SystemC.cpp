// The C-linkage functions of the machine's locations, each over the guard.

#include <ravlinpath/SystemC.h>

#include <ravlinpath/System.h>

#include "CLinkage.h"
#include "Sources.h"

using namespace ravlinpath;

const char* pathSystemPdfViewer(void) { return answerOr(&PathSystem::pdfViewerPath, nullptr); }
const char* pathSystemLumeva(void) { return answerOr(&PathSystem::lumevaPath, fallbackOf(Answer::lumeva)); }
const char* pathSystemUserHome(void) { return answerOr(&PathSystem::userHome, fallbackOf(Answer::userHome)); }
const char* pathSystemTmpDir(void) { return answerOr(&PathSystem::tmp, fallbackOf(Answer::tmp)); }
int pathSystemPlatform(void) { return answerOr(&PathSystem::platformKind, 0); }
