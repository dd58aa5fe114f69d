#ifndef RAVLINPATH_TOOL_REPORT_H
#define RAVLINPATH_TOOL_REPORT_H

// How a report for a person at a terminal shows answers: one line each, in
// columns (the keyword, the answer, where it came from, a level, words), with
// what a terminal would act on, backslashes and bytes that are not UTF-8
// shown escaped, as an explanation shows its facts and the usage line an
// illegal argument.

#include "Keywords.h"

#include <cstddef>
#include <string_view>

// text with control characters, bidirectional overrides, backslashes and
// bytes that are not UTF-8 shown escaped: "\n", "\t", "\\", "\x1b", "\u009b",
// "\u202e", "\xff". Other UTF-8 characters are shown as they are.
void putShown(std::string_view text);

class Columns {
public:
    // Widens the answer and source columns to hold answer and source, the
    // answer's up to a limit.
    void fit(const Answer& answer, const char* source);

    void put(const char* word, const Answer& answer, const char* source, const char* level,
             const char* words) const;

private:
    std::size_t answerWidth = 0;
    std::size_t sourceWidth = 0;
};

#endif
