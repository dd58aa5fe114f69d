#ifndef RAVLINPATH_TOOL_LISTINGS_H
#define RAVLINPATH_TOOL_LISTINGS_H

// Every keyword's answer at once, one line each, in the form of --all or as
// assignments of one shell's (--shell for POSIX shells, --csh, --fish). The
// forms differ only in the words around each keyword and answer and in how
// the answer is quoted.

#include "Keywords.h"

// shown is the line of --all with the bytes a terminal would act on escaped,
// as an explanation opens.
enum class Form { all, shell, csh, fish, shown };

// Prints the listing; the exit status, 0. When the shell would not take
// every answer whole (csh: an answer holding a newline, or long output
// holding bytes beyond ASCII), it prints nothing and answers 255 instead.
template <Form form>
int putListing();

// Prints the line of one keyword in the form.
template <Form form>
void putLine(const Keyword& keyword);

#endif
