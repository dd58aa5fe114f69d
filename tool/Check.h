#ifndef RAVLINPATH_TOOL_CHECK_H
#define RAVLINPATH_TOOL_CHECK_H

// --check: a report for the administrator, each answer with a verdict found
// by looking at the file system, and whether the installation is complete.

#include "Keywords.h"

// Print the report, for a person or as JSON; the exit status, 1 for an
// incomplete installation.
int check(const Keyword* ignored);
int checkJson(const Keyword* ignored);

#endif
