#ifndef RAVLINPATH_RAVLINC_H
#define RAVLINPATH_RAVLINC_H

/* The Ravlin installation paths, for C and C++. The functions never fail:
 * when a path cannot be computed they answer a fixed fallback. Answers are
 * borrowed and live until the process ends; never free them. Any thread may
 * call any function at any time. */

#ifdef __cplusplus
extern "C" {
#endif

const char* pathRavlinHome(void);        /* "/undefined" when not located */
const char* pathRavlinProg(void);
const char* pathRavlinExp(void);
const char* pathRavlinExpStan(void);
const char* pathRavlinConf(void);
const char* pathRavlinPlot(void);
const char* pathRavlinLayout(void);
const char* pathRavlinPrint(void);
const char* pathRavlinDot(void);
const char* pathRavlinCurDir(void);      /* relative to pathRavlinProg(); "" without a user */
const char* pathRavlinAppDefaults(void);
const char* pathRavlinHints(void);
const char* pathRavlinDisklessInst(void);
const char* pathRavlinDisklessRoot(void);
const char* pathRavlinDisklessLock(void);
/* PathBase::platform.kind as it stands: 0 (the Ravlin family) unless the
 * program set another kind; 1 is the Tazlo family, any other value counts as
 * the Ravlin family. */
int pathRavlinPlatform(void);

#ifdef __cplusplus
}
#endif

#endif
