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

// Inside single quotes every byte stands for itself except the quote, which
// is closed, escaped and reopened.
void putSingleQuoted(const char* part)
{
    if (!part)
        return;
    for (const char* quote; (quote = std::strchr(part, '\'')); part = quote + 1) {
        output.put({part, static_cast<std::size_t>(quote - part)});
        output.put("'\\''");
    }
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

// A line is prefix, the keyword (in capitals when asked), infix, then, when
// there is an answer, separator and the answer quoted, and suffix.
struct FormWords {
    const char* prefix;
    bool capitals;
    const char* infix;
    const char* separator;
    const char* suffix;
    void (*quote)(const char* part);
};

// In the order of Form.
constexpr FormWords forms[] = {
    {"", false, ":", " ", "\n", putPlain},                      // prog: /opt/r/prog
    {"RAVLIN_PATH_", true, "='", "", "'\n", putSingleQuoted},  // RAVLIN_PATH_PROG='/opt/r/prog'
    {"", false, ":", " ", "\n", putShownPart},                  // prog: /opt/r/prog, escaped
};

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
    for (const Keyword& keyword : keywords)
        putLine<form>(keyword);
    return 0;
}

template int putListing<Form::all>();
template int putListing<Form::shell>();
template void putLine<Form::shown>(const Keyword& keyword);
