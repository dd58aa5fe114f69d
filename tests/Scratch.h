#ifndef RAVLINPATH_TESTS_SCRATCH_H
#define RAVLINPATH_TESTS_SCRATCH_H

// The files a test process makes live in one scratch directory below /tmp,
// removed with all it holds when that process ends.

#include <string>
#include <sys/types.h>

// A fresh directory below the scratch directory.
std::string freshDirectory();

// Creates path with mode, holding a shell script that does nothing.
void makeFile(const std::string& path, unsigned mode);

// Starts a child process that takes a write lease on path and, when the kernel
// signals that another process opens the file, keeps it for keepSeconds more,
// gives it up and ends with status 0. Given renewSeconds, it instead gives the
// lease up and takes it again at each such signal, for that long, so that the
// file stays leased. Answers whether the lease is held.
bool holdLease(const std::string& path, pid_t& holder, unsigned keepSeconds = 0, unsigned renewSeconds = 0);

#endif
