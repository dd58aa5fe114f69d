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

constexpr Range zeroWidth[] = {
    {0x0300, 0x036f}, {0x0483, 0x0489}, {0x0591, 0x05bd}, {0x0610, 0x061a}, {0x064b, 0x065f},
    {0x200b, 0x200f}, {0x20d0, 0x20ff}, {0xfe00, 0xfe0f}, {0xfe20, 0xfe2f}, {0xe0100, 0xe01ef},
};

constexpr Range wide[] = {
    {0x1100, 0x115f},   {0x2e80, 0x303e},   {0x3041, 0x33ff},   {0x3400, 0x4dbf},
    {0x4e00, 0x9fff},   {0xa000, 0xa4cf},   {0xac00, 0xd7a3},   {0xf900, 0xfaff},
    {0xfe30, 0xfe4f},   {0xff00, 0xff60},   {0xffe0, 0xffe6},   {0x1f300, 0x1f64f},
    {0x1f900, 0x1f9ff}, {0x20000, 0x2fffd}, {0x30000, 0x3fffd},
};

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

bool actsOnATerminal(char32_t code)
{
    return within(code, terminalControls);
}

std::size_t columnsOf(char32_t code)
{
    if (within(code, zeroWidth))
        return 0;
    return within(code, wide) ? 2 : 1;
}
