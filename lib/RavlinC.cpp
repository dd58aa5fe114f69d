// The C-linkage functions of the installation paths, each over the guard.

#include <ravlinpath/RavlinC.h>

#include <ravlinpath/Ravlin.h>

#include "CLinkage.h"
#include "Sources.h"

using namespace ravlinpath;

using A = Answer;

const char* pathRavlinHome(void) { return answerOr(&PathRavlin::homeDir, fallbackOf(A::home)); }
const char* pathRavlinProg(void) { return answerOr(&PathRavlin::progDir, fallbackOf(A::prog)); }
const char* pathRavlinExp(void) { return answerOr(&PathRavlin::expDir, fallbackOf(A::exp)); }
const char* pathRavlinExpStan(void) { return answerOr(&PathRavlin::expStanDir, fallbackOf(A::expStan)); }
const char* pathRavlinConf(void) { return answerOr(&PathRavlin::confDir, fallbackOf(A::conf)); }
const char* pathRavlinPlot(void) { return answerOr(&PathRavlin::plotDir, fallbackOf(A::plot)); }
const char* pathRavlinLayout(void) { return answerOr(&PathRavlin::layoutDir, fallbackOf(A::layout)); }
const char* pathRavlinPrint(void) { return answerOr(&PathRavlin::printDir, fallbackOf(A::print)); }
const char* pathRavlinDot(void) { return answerOr(&PathRavlin::dotDir, fallbackOf(A::dot)); }
const char* pathRavlinCurDir(void) { return answerOr(&PathRavlin::curDirFile, fallbackOf(A::curDir)); }
const char* pathRavlinAppDefaults(void) { return answerOr(&PathRavlin::appDefaultsDir, fallbackOf(A::appDefaults)); }
const char* pathRavlinHints(void) { return answerOr(&PathRavlin::hintsDir, fallbackOf(A::hints)); }
const char* pathRavlinDisklessInst(void) { return answerOr(&PathRavlin::disklessInst, fallbackOf(A::disklessInst)); }
const char* pathRavlinDisklessRoot(void) { return answerOr(&PathRavlin::disklessRoot, fallbackOf(A::disklessRoot)); }
const char* pathRavlinDisklessLock(void) { return answerOr(&PathRavlin::disklessLock, fallbackOf(A::disklessLock)); }
int pathRavlinPlatform(void) { return answerOr(&PathRavlin::platformKind, 0); }
