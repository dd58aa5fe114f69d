#ifndef RAVLINPATH_TOOL_EXPLAIN_H
#define RAVLINPATH_TOOL_EXPLAIN_H

// --explain: for a keyword, or for every keyword in the usage line's order,
// the line --all prints and below it the facts that decided the answer, one
// per line, indented by how deep the input they explain lies. As JSON, an
// array of one object per keyword, each with its facts as objects.

#include "Keywords.h"

// Print the explanation of keyword, or of every keyword when it is null, for
// a person or as JSON; the exit status, 0.
int explain(const Keyword* keyword);
int explainJson(const Keyword* keyword);

#endif
