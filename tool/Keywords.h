#ifndef RAVLINPATH_TOOL_KEYWORDS_H
#define RAVLINPATH_TOOL_KEYWORDS_H

// The command's keywords: each word, the library calls that answer it and
// what it means. Every list of keywords the command prints (the usage line,
// the help, --all, --shell, --check) keeps this table's order.

#include <ravlinpath/Origin.h>
#include <ravlinpath/RavlinC.h>
#include <ravlinpath/SystemC.h>

#include <cstddef>
#include <string_view>

using Origin = PathOrigin::Answer;

struct Keyword {
    const char* word;
    const char* (*answer)();
    const char* (*below)();  // when set, printed after the answer and a "/"
    const char* meaning;
    Origin origin;  // the library's answer that explains it
};

inline constexpr Keyword keywords[] = {
    {"prog", pathRavlinProg, nullptr, "the program directory", Origin::prog},
    {"exp", pathRavlinExp, nullptr, "the experiment directory", Origin::exp},
    {"conf", pathRavlinConf, nullptr, "the configuration directory", Origin::conf},
    {"plot", pathRavlinPlot, nullptr, "the plot directory", Origin::plot},
    {"print", pathRavlinPrint, nullptr, "the print directory", Origin::print},
    {"dot", pathRavlinDot, nullptr, "the per-user dot directory", Origin::dot},
    {"lv", pathSystemLumeva, nullptr, "the Lumeva location; nothing when LUMEVA is unset", Origin::lumeva},
    {"curdir", pathRavlinProg, pathRavlinCurDir, "the per-user current-directory file", Origin::curDir},
    {"pdf", pathSystemPdfViewer, nullptr, "a PDF viewer; nothing when none is found", Origin::pdfViewer},
    {"diskless", pathRavlinDisklessInst, nullptr, "the diskless installation directory", Origin::disklessInst},
    {"userhome", pathSystemUserHome, nullptr, "the user's home directory; nothing without a password entry",
     Origin::userHome},
};

// The help and the reports print keywords in a column this wide, which keeps
// two spaces after the longest.
constexpr std::size_t keywordColumn = 10;

constexpr bool keywordsFitTheirColumn()
{
    for (const Keyword& keyword : keywords)
        if (std::string_view(keyword.word).size() + 2 > keywordColumn)
            return false;
    return true;
}
static_assert(keywordsFitTheirColumn());

const Keyword* findKeyword(const char* word);

// An answer as it is printed: its parts one after the other. A null part (no
// viewer, LUMEVA unset) is no text.
struct Answer {
    const char* parts[3];
    std::size_t count;

    const char* const* begin() const { return parts; }
    const char* const* end() const { return parts + count; }
    bool empty() const;
};

Answer ask(const Keyword& keyword);

// Whether the library's answer, as it stands, is made for want of a password
// entry for the user, as its own facts say.
bool restsOnNoPasswordEntry(Origin origin);

// The keywords as the usage line offers them: "prog, exp, ... or userhome".
void putKeywordChoices();

#endif
