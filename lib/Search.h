#ifndef RAVLINPATH_SEARCH_H
#define RAVLINPATH_SEARCH_H

namespace ravlinpath {

// Executable searches. A candidate passes when it is a regular file, or a
// symbolic link to one, that the real user may execute.

// The first PATH element + "/" + name that passes, newly allocated and exactly
// as built (relative when the element is relative); null when none does.
// Empty elements are skipped, so the current directory is never searched
// through one.
char* findOnPath(const char* name);

// dir + "/bin/" + name, newly allocated, when it passes; else null.
char* findInProgBin(const char* dir, const char* name);

}

#endif
