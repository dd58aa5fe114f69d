#ifndef RAVLINPATH_TRACE_H
#define RAVLINPATH_TRACE_H

// What was found while each answer was computed, beyond what the sources
// table says: kept so that the answer can be explained at any later time.
// An answer's trace is written under the lock its value is computed under,
// and read under that lock too.

#include "Once.h"
#include "Sources.h"

namespace ravlinpath {

// A candidate of a search, and why it passed or was passed over.
struct Tried {
    Tried* next;
    PathOrigin::Candidate verdict;
    const char* path;
};

struct Trace {
    Made made = Made::notYet;
    bool notCopied = false;        // its variable was set but could not be copied
    bool normalized = false;       // backslashes were turned into forward slashes
    PathOrigin::FileState fileState = PathOrigin::FileState::read;
    const char* text = nullptr;    // a value as found; the host name; PATH as searched; a fallback not kept
    long number = 0;               // the real user id; a setting's line; a PathOrigin::Fallback; a viewer
    const Tried* tried = nullptr;  // the candidates of a search, in the order tried
};

// The lock an answer is computed under: one per group of answers computed
// together, so that a first query waits only for what its answer needs.
Lock& lockOf(Answer answer);

// The trace to fill, or to read; only with lockOf(answer) held.
Trace& traceOf(Answer answer);

// Traces answer as its fixed fallback, taken for want of memory; fallback
// names the text when the answer is not kept (the dot directory's).
void traceOutOfMemory(Answer answer, const char* fallback = nullptr);

// text with backslashes turned into slashes, in place; when that changes a
// variable's value or a password entry's home, trace keeps it as found.
char* normalized(char* text, Trace& trace);

// The answer composed from its source row for family, below base; traced.
char* compose(Answer answer, const Family& family, const char* base);

// The variable of source for the family, or null.
inline const char* variableOf(const Source& source, const Family& family)
{
    return source.variable ? family.*source.variable : nullptr;
}

}

#endif
