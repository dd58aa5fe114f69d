// The listings of every answer: one table of forms (see Listings.h).

#include "Listings.h"

#include "Keywords.h"
#include "Output.h"
#include "Report.h"

#include <cstring>

namespace {

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
    char byte;  // 0 in a slot left unused
    char with[5];
};

// A line is prefix, the keyword (in capitals when asked), infix, then, when
// there is an answer, separator and the answer quoted, and suffix.
struct FormWords {
    const char* prefix;
    bool capitals;
    const char* infix;
    const char* separator;
    const char* suffix;
    bool shown;  // the answer's bytes a terminal would act on escaped, else replaced as these say
    Replacement replacements[2];
    bool carriesNewlines;  // when not, an answer holding one stops the listing
    // The longest listing holding bytes beyond ASCII that the shell takes
    // whole; a longer one is not printed.
    std::size_t wholeBeyondAscii;
};

constexpr std::size_t unlimited = static_cast<std::size_t>(-1);

// A quote closes the quotes, is escaped and reopens them. csh also acts on
// "!" inside quotes, even under eval, unless a backslash precedes it, and
// cannot carry a newline through eval and backquotes; tcsh's backquotes
// lose bytes beyond ASCII that fall near the end of one of their 4096-byte
// reads. fish takes backslashes inside quotes, so they are escaped too.
// In the order of Form.
constexpr FormWords forms[] = {
    // prog: /opt/r/prog
    {"", false, ":", " ", "\n", false, {}, true, unlimited},
    // RAVLIN_PATH_PROG='/opt/r/prog'
    {"RAVLIN_PATH_", true, "='", "", "'\n", false, {{'\'', "'\\''"}}, true, unlimited},
    // set RAVLIN_PATH_PROG = '/opt/r/prog';
    {"set RAVLIN_PATH_", true, " = '", "", "';\n", false, {{'\'', "'\\''"}, {'!', "\\!"}}, false, 4096},
    // set -g RAVLIN_PATH_PROG '/opt/r/prog'
    {"set -g RAVLIN_PATH_", true, " '", "", "'\n", false, {{'\'', "\\'"}, {'\\', "\\\\"}}, true, unlimited},
    // prog: /opt/r/prog, escaped
    {"", false, ":", " ", "\n", true, {}, true, unlimited},
};

template <Form form>
constexpr FormWords words = forms[static_cast<int>(form)];

template <Form form>
const Replacement* replacementOf(char byte)
{
    for (const Replacement& replacement : words<form>.replacements)
        if (replacement.byte && replacement.byte == byte)
            return &replacement;
    return nullptr;
}

template <Form form>
void putPart(const char* part)
{
    if constexpr (words<form>.shown) {
        putShown(part ? part : "");
        return;
    }
    if (!part)
        return;
    const char* run = part;
    for (; *part; ++part)
        if (const Replacement* replacement = replacementOf<form>(*part)) {
            output.put({run, static_cast<std::size_t>(part - run)});
            output.put(replacement->with);
            run = part + 1;
        }
    output.put(run);
}

// Whether the form's shell takes every answer whole.
template <Form form>
bool shellTakesEveryAnswer()
{
    std::size_t size = 0;
    bool ascii = true;
    for (const Keyword& keyword : keywords) {
        const Answer answer = ask(keyword);
        size += std::strlen(words<form>.prefix) + std::strlen(keyword.word) + std::strlen(words<form>.infix)
                + (answer.empty() ? 0 : std::strlen(words<form>.separator)) + std::strlen(words<form>.suffix);
        for (const char* part : answer)
            for (; part && *part; ++part) {
                if (*part == '\n' && !words<form>.carriesNewlines)
                    return false;
                ascii = ascii && static_cast<unsigned char>(*part) < 0x80;
                const Replacement* replacement = replacementOf<form>(*part);
                size += replacement ? std::strlen(replacement->with) : 1;
            }
    }
    return ascii || size <= words<form>.wholeBeyondAscii;
}

}

// The words are read when compiling: stored, each would cost every start of
// the command a relocation.
template <Form form>
void putLine(const Keyword& keyword)
{
    output.put(words<form>.prefix);
    if (words<form>.capitals)
        putCapitals(keyword.word);
    else
        output.put(keyword.word);
    output.put(words<form>.infix);
    const Answer answer = ask(keyword);
    if (!answer.empty())
        output.put(words<form>.separator);
    for (const char* part : answer)
        putPart<form>(part);
    output.put(words<form>.suffix);
}

template <Form form>
int putListing()
{
    if constexpr (!words<form>.carriesNewlines || words<form>.wholeBeyondAscii != unlimited)
        if (!shellTakesEveryAnswer<form>())
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
