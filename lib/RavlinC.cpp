#include <ravlinpath/RavlinC.h>

#include <ravlinpath/Ravlin.h>

#include "Guard.h"

using namespace ravlinpath;

const char* pathRavlinHome(void) { return answerOr(&PathRavlin::homeDir, "/undefined"); }
const char* pathRavlinProg(void) { return answerOr(&PathRavlin::progDir, "/undefined/prog"); }
const char* pathRavlinExp(void) { return answerOr(&PathRavlin::expDir, "/undefined/exp"); }
const char* pathRavlinExpStan(void) { return answerOr(&PathRavlin::expStanDir, "/undefined/exp/stan"); }
const char* pathRavlinConf(void) { return answerOr(&PathRavlin::confDir, "/undefined/conf"); }
const char* pathRavlinPlot(void) { return answerOr(&PathRavlin::plotDir, "/undefined/plot"); }
const char* pathRavlinLayout(void) { return answerOr(&PathRavlin::layoutDir, "/undefined/plot/layouts"); }
const char* pathRavlinPrint(void) { return answerOr(&PathRavlin::printDir, "/undefined/print"); }
const char* pathRavlinDot(void) { return answerOr(&PathRavlin::dotDir, ".morvel"); }
const char* pathRavlinCurDir(void) { return answerOr(&PathRavlin::curDirFile, ""); }
const char* pathRavlinAppDefaults(void) { return answerOr(&PathRavlin::appDefaultsDir, "/undefined/prog/app-defaults"); }
const char* pathRavlinHints(void) { return answerOr(&PathRavlin::hintsDir, "/undefined/prog/hints"); }
const char* pathRavlinDisklessInst(void) { return answerOr(&PathRavlin::disklessInst, "/usr/diskless"); }
const char* pathRavlinDisklessRoot(void) { return answerOr(&PathRavlin::disklessRoot, "/usr/diskless/clients/spect/root"); }
const char* pathRavlinDisklessLock(void) { return answerOr(&PathRavlin::disklessLock, "/usr/diskless/clients/spect/lock"); }
int pathRavlinPlatform(void) { return answerOr(&PathRavlin::platformKind, 0); }
