#ifndef RAVLINPATH_SYSTEMC_H
#define RAVLINPATH_SYSTEMC_H

/* Machine locations, for C and C++. The functions never fail: when a location
 * cannot be computed they answer a fixed fallback. Answers are borrowed and
 * live until the process ends; never free them. Any thread may call any
 * function at any time. */

#ifdef __cplusplus
extern "C" {
#endif

const char* pathSystemPdfViewer(void);   /* NULL when no viewer is found */
const char* pathSystemLumeva(void);      /* NULL when LUMEVA is unset */
const char* pathSystemUserHome(void);    /* "" without a password entry */
const char* pathSystemTmpDir(void);
int pathSystemPlatform(void);            /* the platform kind, as pathRavlinPlatform() answers it */

#ifdef __cplusplus
}
#endif

#endif
