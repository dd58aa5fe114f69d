#ifndef RAVLINPATH_TOOL_EXPLAIN_H
#define RAVLINPATH_TOOL_EXPLAIN_H

// --explain: for a keyword, or for every keyword in the usage line's order,
// the line --all prints and below it the facts that decided the answer, one
// per line, indented by how deep the input they explain lies.

#include "Keywords.h"

// Prints the explanation of keyword, or of every keyword when it is null;
// the exit status, 0.
int explain(const Keyword* keyword);

#endif
