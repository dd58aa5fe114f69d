#ifndef RAVLINPATH_SEARCH_H
#define RAVLINPATH_SEARCH_H

namespace ravlinpath {

// Executable searches. The only test is execute permission for the real
// user, so a directory of the searched name passes too.

// The first PATH element + "/" + name that passes, newly allocated and exactly
// as built (relative when the element is relative); null when none does.
// Empty elements are skipped, so the current directory is never searched
// through one.
char* findOnPath(const char* name);

// dir + "/bin/" + name, newly allocated, when it passes; else null.
char* findInProgBin(const char* dir, const char* name);

}

#endif
