#ifndef RAVLINPATH_TOOL_LISTINGS_H
#define RAVLINPATH_TOOL_LISTINGS_H

// Every keyword's answer at once, one line each, in the form of --all or of
// --shell. The forms differ only in the words around each keyword and answer
// and in how the answer is quoted.

enum class Form { all, shell };

// Prints the listing; the exit status, always 0.
template <Form form>
int putListing();

#endif
