#ifndef RAVLINPATH_TOOL_REPORT_H
#define RAVLINPATH_TOOL_REPORT_H

// How a report for a person at a terminal shows answers: one line each, in
// columns (the keyword, the answer, a level, words), with control bytes and
// backslashes shown escaped.

#include "Keywords.h"

#include <cstddef>

class Columns {
public:
    // Widens the answer column to hold answer, up to a limit.
    void fit(const Answer& answer);

    void put(const char* word, const Answer& answer, const char* level, const char* words) const;

private:
    std::size_t answerWidth = 0;
};

#endif
