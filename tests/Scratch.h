#ifndef RAVLINPATH_TESTS_SCRATCH_H
#define RAVLINPATH_TESTS_SCRATCH_H

// The files a test process makes live in one scratch directory below /tmp,
// removed with all it holds when that process ends.

#include <string>

// A fresh directory below the scratch directory.
std::string freshDirectory();

// Creates path with mode, holding a shell script that does nothing.
void makeFile(const std::string& path, unsigned mode);

#endif
