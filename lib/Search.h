#ifndef RAVLINPATH_SEARCH_H
#define RAVLINPATH_SEARCH_H

// Executable searches, and the record of the candidates they tried.

#include "Trace.h"

#include <cstddef>
#include <initializer_list>
#include <string_view>

namespace ravlinpath {

// The candidates a search tried, in order, each with its verdict; a
// candidate that cannot be recorded for want of memory is left out.
class TriedList {
public:
    TriedList() = default;
    TriedList(const TriedList&) = delete;
    TriedList& operator=(const TriedList&) = delete;

    // The candidate, the parts joined, with its verdict.
    void add(PathOrigin::Candidate verdict, std::initializer_list<std::string_view> parts);
    const Tried* first() const { return head; }

    // A copy of text, kept as long as the candidates; null when text is.
    const char* keep(const char* text);

private:
    void* allocate(std::size_t size);

    Tried* head = nullptr;
    Tried** end = &head;
    char* spare = nullptr;
    std::size_t room = 0;
};

// A candidate passes when it is a regular file, or a symbolic link to one,
// that the real user may execute. The first PATH element + "/" + name that
// passes, newly allocated and exactly as built (relative when the element is
// relative); null when none does. Empty elements are skipped, so the current
// directory is never searched through one. Every candidate goes into tried,
// when it is given.
char* findOnPath(const char* name, TriedList* tried = nullptr);

// dir + "/bin/" + name, newly allocated, when it passes; else null.
char* findInProgBin(const char* dir, const char* name, TriedList* tried = nullptr);

}

#endif
