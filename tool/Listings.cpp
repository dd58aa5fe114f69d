// The listings of every answer: one table of forms (see Listings.h).

#include "Listings.h"

#include "Keywords.h"
#include "Output.h"
#include "Report.h"

#include <cstring>

namespace {

void putPlain(const char* part)
{
    output.put(part);
}

void putShownPart(const char* part)
{
    putShown(part ? part : "");
}

void putCapitals(const char* word)
{
    for (; *word; ++word) {
        const char capital = *word - 'a' + 'A';
        output.put({&capital, 1});
    }
}

// Inside its quotes a shell takes every byte as it stands but these, which
// are written as with says.
struct Replacement {
    char byte;
    char with[5];
};

// The part with each byte that has a replacement replaced.
template <const auto& replacements>
void putQuoted(const char* part)
{
    if (!part)
        return;
    const char* run = part;
    for (; *part; ++part)
        for (const Replacement& replacement : replacements)
            if (*part == replacement.byte) {
                output.put({run, static_cast<std::size_t>(part - run)});
                output.put(replacement.with);
                run = part + 1;
            }
    output.put(run);
}

// A quote closes the quotes, is escaped and reopens them. csh also acts on
// "!" inside quotes, even under eval, unless a backslash precedes it. fish
// takes backslashes inside quotes, so they are escaped too.
constexpr Replacement shQuotes[] = {{'\'', "'\\''"}};
constexpr Replacement cshQuotes[] = {{'\'', "'\\''"}, {'!', "\\!"}};
constexpr Replacement fishQuotes[] = {{'\'', "\\'"}, {'\\', "\\\\"}};

// A line is prefix, the keyword (in capitals when asked), infix, then, when
// there is an answer, separator and the answer quoted, and suffix.
struct FormWords {
    const char* prefix;
    bool capitals;
    const char* infix;
    const char* separator;
    const char* suffix;
    void (*quote)(const char* part);
    bool carriesNewlines;  // when not, an answer holding one stops the listing
};

// In the order of Form.
constexpr FormWords forms[] = {
    {"", false, ":", " ", "\n", putPlain, true},  // prog: /opt/r/prog
    {"RAVLIN_PATH_", true, "='", "", "'\n", putQuoted<shQuotes>, true},  // RAVLIN_PATH_PROG='/opt/r/prog'
    {"set RAVLIN_PATH_", true, " = '", "", "';\n", putQuoted<cshQuotes>, false},  // set RAVLIN_PATH_PROG = '/opt/r/prog';
    {"set -g RAVLIN_PATH_", true, " '", "", "'\n", putQuoted<fishQuotes>, true},  // set -g RAVLIN_PATH_PROG '/opt/r/prog'
    {"", false, ":", " ", "\n", putShownPart, true},  // prog: /opt/r/prog, escaped
};

bool anyAnswerHoldsANewline()
{
    for (const Keyword& keyword : keywords)
        for (const char* part : ask(keyword))
            if (part && std::strchr(part, '\n'))
                return true;
    return false;
}

}

// The words are read when compiling: stored, each would cost every start of
// the command a relocation.
template <Form form>
void putLine(const Keyword& keyword)
{
    constexpr FormWords words = forms[static_cast<int>(form)];
    output.put(words.prefix);
    if (words.capitals)
        putCapitals(keyword.word);
    else
        output.put(keyword.word);
    output.put(words.infix);
    const Answer answer = ask(keyword);
    if (!answer.empty())
        output.put(words.separator);
    for (const char* part : answer)
        words.quote(part);
    output.put(words.suffix);
}

template <Form form>
int putListing()
{
    if constexpr (!forms[static_cast<int>(form)].carriesNewlines)
        if (anyAnswerHoldsANewline())
            return exitFailure;
    for (const Keyword& keyword : keywords)
        putLine<form>(keyword);
    return 0;
}

template int putListing<Form::all>();
template int putListing<Form::shell>();
template int putListing<Form::csh>();
template int putListing<Form::fish>();
template void putLine<Form::shown>(const Keyword& keyword);
