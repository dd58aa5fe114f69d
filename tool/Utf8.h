#ifndef RAVLINPATH_TOOL_UTF8_H
#define RAVLINPATH_TOOL_UTF8_H

// How the command reads an answer's bytes when it shows them to a person or
// writes them as JSON: as characters of UTF-8, and bytes that belong to none.
// Paths are bytes, so neither kind is an error.

#include <cstddef>
#include <string_view>

struct Piece {
    std::string_view bytes;  // the character's bytes, or the one stray byte
    char32_t code;           // the character, or the stray byte's value
    bool character;          // false for a byte that is not part of valid UTF-8
};

// The first piece of a text that is not empty. Overlong forms, surrogates and
// values above U+10FFFF are not characters: each of their bytes is a piece.
Piece firstPiece(std::string_view text);

template <typename Visit>
void forEachPiece(std::string_view text, Visit visit)
{
    while (!text.empty()) {
        const Piece piece = firstPiece(text);
        visit(piece);
        text.remove_prefix(piece.bytes.size());
    }
}

bool isUtf8(std::string_view text);

// Characters a terminal acts on rather than shows: C0 and C1 controls, DEL,
// and the bidirectional overrides and isolates, which reorder what follows.
bool actsOnATerminal(char32_t code);

// How many columns a terminal gives a character it shows: 2 for East Asian
// wide ones, 0 for combining marks and format characters, else 1.
std::size_t columnsOf(char32_t code);

// A code written as a backslash, letter and digits hexadecimal digits:
// \x1b, \u009b.
struct Escape {
    char text[6];
    std::size_t size;

    std::string_view view() const { return {text, size}; }
};

Escape escaped(char letter, char32_t code, std::size_t digits);

#endif
