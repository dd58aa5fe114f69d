#include <ravlinpath/RavlinC.h>

#include <ravlinpath/Ravlin.h>

#include "Fixed.h"
#include "Guard.h"

using namespace ravlinpath;

const char* pathRavlinHome(void) { return answerOr(&PathRavlin::homeDir, fallback::home); }
const char* pathRavlinProg(void) { return answerOr(&PathRavlin::progDir, fallback::prog); }
const char* pathRavlinExp(void) { return answerOr(&PathRavlin::expDir, fallback::exp); }
const char* pathRavlinExpStan(void) { return answerOr(&PathRavlin::expStanDir, ravlinFamily.expStanFallback); }
const char* pathRavlinConf(void) { return answerOr(&PathRavlin::confDir, fallback::conf); }
const char* pathRavlinPlot(void) { return answerOr(&PathRavlin::plotDir, fallback::plot); }
const char* pathRavlinLayout(void) { return answerOr(&PathRavlin::layoutDir, fallback::layout); }
const char* pathRavlinPrint(void) { return answerOr(&PathRavlin::printDir, fallback::print); }
const char* pathRavlinDot(void) { return answerOr(&PathRavlin::dotDir, ravlinFamily.dotFallback); }
const char* pathRavlinCurDir(void) { return answerOr(&PathRavlin::curDirFile, ""); }
const char* pathRavlinAppDefaults(void) { return answerOr(&PathRavlin::appDefaultsDir, fallback::appDefaults); }
const char* pathRavlinHints(void) { return answerOr(&PathRavlin::hintsDir, fallback::hints); }
const char* pathRavlinDisklessInst(void) { return answerOr(&PathRavlin::disklessInst, fallback::disklessInst); }
const char* pathRavlinDisklessRoot(void) { return answerOr(&PathRavlin::disklessRoot, fallback::disklessRoot); }
const char* pathRavlinDisklessLock(void) { return answerOr(&PathRavlin::disklessLock, fallback::disklessLock); }
int pathRavlinPlatform(void) { return answerOr(&PathRavlin::platformKind, 0); }
