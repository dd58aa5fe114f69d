// A report's lines: escaped answers in columns (see Report.h).

#include "Report.h"

#include "Output.h"

#include <algorithm>
#include <cstring>

namespace {

struct Shown {
    char text[4];
    std::size_t size;
};

// How a report shows one byte: control bytes and the backslash escaped, so
// that an answer keeps to its line and cannot move the cursor, retitle the
// terminal or pass for a line of the report. Bytes of UTF-8 paths are shown
// as they are.
Shown shown(unsigned char byte)
{
    switch (byte) {
    case '\n':
        return {{'\\', 'n'}, 2};
    case '\t':
        return {{'\\', 't'}, 2};
    case '\\':
        return {{'\\', '\\'}, 2};
    }
    if (byte >= 0x20 && byte != 0x7f)
        return {{static_cast<char>(byte)}, 1};
    constexpr char digits[] = "0123456789abcdef";
    return {{'\\', 'x', digits[byte >> 4], digits[byte & 0xf]}, 4};
}

std::size_t shownLength(const char* text)
{
    std::size_t length = 0;
    for (; text && *text; ++text)
        length += shown(*text).size;
    return length;
}

std::size_t shownLength(const Answer& answer)
{
    std::size_t length = 0;
    for (const char* part : answer)
        length += shownLength(part);
    return length;
}

// Levels line up after answers of up to this many bytes; a longer answer
// pushes its own level along rather than padding every line.
constexpr std::size_t widestAnswerColumn = 64;

constexpr std::size_t levelColumn = 7;

}

void putShown(std::string_view text)
{
    for (char c : text) {
        Shown byte = shown(c);
        output.put({byte.text, byte.size});
    }
}

namespace {

void putShownParts(const Answer& answer)
{
    for (const char* part : answer)
        putShown(part ? part : "");
}

}

void Columns::fit(const Answer& answer, const char* source)
{
    answerWidth = std::min(std::max(answerWidth, shownLength(answer)), widestAnswerColumn);
    sourceWidth = std::max(sourceWidth, shownLength(source));
}

// The source and the words are shown escaped as the answer is, so that no
// line of a report can run onto another.
void Columns::put(const char* word, const Answer& answer, const char* source, const char* level,
                  const char* words) const
{
    output.put(word);
    output.pad(keywordColumn, std::strlen(word));
    putShownParts(answer);
    const std::size_t printed = shownLength(answer);
    output.pad(std::max(answerWidth, printed) + 2, printed);
    putShown(source);
    output.pad(sourceWidth + 2, shownLength(source));
    output.put(level);
    output.pad(levelColumn, std::strlen(level));
    putShown(words);
    output.put("\n");
}
