// A report's lines: escaped answers in columns (see Report.h).

#include "Report.h"

#include "Output.h"
#include "Utf8.h"

#include <algorithm>
#include <cstring>

namespace {

struct Shown {
    char text[6];
    std::size_t size;
    std::size_t columns;
};

Shown shownAs(std::string_view escape)
{
    Shown shown = {{}, escape.size(), escape.size()};
    escape.copy(shown.text, escape.size());
    return shown;
}

// \xNN for a byte, \uNNNN for a character beyond ASCII.
Shown escapedNumber(char32_t code, bool character)
{
    const bool byte = !character || code < 0x80;
    return shownAs(escaped(byte ? 'x' : 'u', code, byte ? 2 : 4).view());
}

// How a report shows one piece of an answer: what a terminal would act on
// escaped, and backslashes and bytes that are not UTF-8 too, so that an
// answer keeps to its line and cannot move the cursor, retitle the terminal,
// reorder the line or pass for a line of the report. UTF-8 characters are
// shown as they are.
Shown shown(const Piece& piece)
{
    if (!piece.character)
        return escapedNumber(piece.code, false);
    switch (piece.code) {
    case '\n':
        return shownAs("\\n");
    case '\t':
        return shownAs("\\t");
    case '\\':
        return shownAs("\\\\");
    }
    if (actsOnATerminal(piece.code))
        return escapedNumber(piece.code, true);
    Shown as = {{}, piece.bytes.size(), columnsOf(piece.code)};
    piece.bytes.copy(as.text, piece.bytes.size());
    return as;
}

std::size_t shownWidth(std::string_view text)
{
    std::size_t columns = 0;
    forEachPiece(text, [&](const Piece& piece) { columns += shown(piece).columns; });
    return columns;
}

std::size_t shownWidth(const char* text)
{
    return text ? shownWidth(std::string_view(text)) : 0;
}

std::size_t shownWidth(const Answer& answer)
{
    std::size_t width = 0;
    for (const char* part : answer)
        width += shownWidth(part);
    return width;
}

// Levels line up after answers of up to this many columns; a longer answer
// pushes its own level along rather than padding every line.
constexpr std::size_t widestAnswerColumn = 64;

constexpr std::size_t levelColumn = 7;

}

void putShown(std::string_view text)
{
    forEachPiece(text, [](const Piece& piece) {
        const Shown as = shown(piece);
        output.put({as.text, as.size});
    });
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
    answerWidth = std::min(std::max(answerWidth, shownWidth(answer)), widestAnswerColumn);
    sourceWidth = std::max(sourceWidth, shownWidth(source));
}

// The source and the words are shown escaped as the answer is, so that no
// line of a report can run onto another.
void Columns::put(const char* word, const Answer& answer, const char* source, const char* level,
                  const char* words) const
{
    output.put(word);
    output.pad(keywordColumn, std::strlen(word));
    putShownParts(answer);
    const std::size_t printed = shownWidth(answer);
    output.pad(std::max(answerWidth, printed) + 2, printed);
    putShown(source);
    output.pad(sourceWidth + 2, shownWidth(source));
    output.put(level);
    output.pad(levelColumn, std::strlen(level));
    putShown(words);
    output.put("\n");
}
