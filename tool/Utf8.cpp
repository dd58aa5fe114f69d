// Reading bytes as UTF-8 (see Utf8.h).

#include "Utf8.h"

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

template <std::size_t count>
bool within(char32_t code, const Range (&ranges)[count])
{
    for (const Range& range : ranges)
        if (code >= range.first && code <= range.last)
            return true;
    return false;
}

constexpr Range terminalControls[] = {{0x00, 0x1f}, {0x7f, 0x9f}, {0x202a, 0x202e}, {0x2066, 0x2069}};

#include "Widths.h"

}

Piece firstPiece(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const Piece stray = {text.substr(0, 1), lead, lead < 0x80};
    // The length a lead byte announces, its own bits, and the range the
    // second byte must fall in to rule out overlong forms, surrogates and
    // values beyond U+10FFFF.
    std::size_t length = 0;
    char32_t code = 0;
    unsigned char low = 0x80, high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0f;
        low = lead == 0xe0 ? 0xa0 : low;
        high = lead == 0xed ? 0x9f : high;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xf0 ? 0x90 : low;
        high = lead == 0xf4 ? 0x8f : high;
    } else {
        return stray;
    }
    if (text.size() < length)
        return stray;
    for (std::size_t i = 1; i < length; ++i) {
        if (byte(i) < low || byte(i) > high)
            return stray;
        code = code << 6 | (byte(i) & 0x3f);
        low = 0x80;
        high = 0xbf;
    }
    return {text.substr(0, length), code, true};
}

bool isUtf8(std::string_view text)
{
    bool valid = true;
    forEachPiece(text, [&](const Piece& piece) { valid = valid && piece.character; });
    return valid;
}

Escape escaped(char letter, char32_t code, std::size_t digits)
{
    constexpr char hex[] = "0123456789abcdef";
    Escape escape = {{'\\', letter}, 2 + digits};
    for (std::size_t i = escape.size; i > 2; --i, code >>= 4)
        escape.text[i - 1] = hex[code & 0xf];
    return escape;
}

bool actsOnATerminal(char32_t code)
{
    return within(code, terminalControls);
}

std::size_t columnsOf(char32_t code)
{
    if (within(code, zeroWidth))
        return 0;
    return within(code, doubleWidth) ? 2 : 1;
}
