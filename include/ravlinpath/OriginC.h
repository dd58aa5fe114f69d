#ifndef RAVLINPATH_ORIGINC_H
#define RAVLINPATH_ORIGINC_H

/* Where an answer came from, for C and C++. */

#ifdef __cplusplus
extern "C" {
#endif

/* The facts that decided the answer named answer ("exp", "pdf_viewer",
 * "fennet_prog", ...: the names ravlinpath(3) lists), one per line, each line
 * ended by a newline and indented two spaces for each input it explains;
 * the answer is computed first when it has not been asked for yet. The text
 * is borrowed and lives until the process ends; never free it. Never NULL:
 * an unknown name gives "unknown answer\n", and when memory runs out the
 * text is "out of memory\n". Any thread may call it at any time. */
const char* pathOrigin(const char* answer);

#ifdef __cplusplus
}
#endif

#endif
