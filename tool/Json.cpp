// The answers as JSON (see Json.h).

#include "Json.h"

void putJsonNumber(long number)
{
    char digits[24];
    char* const end = digits + sizeof digits;
    char* first = end;
    unsigned long magnitude = number < 0 ? 0 - static_cast<unsigned long>(number) : number;
    do {
        *--first = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    if (number < 0)
        *--first = '-';
    output.put({first, static_cast<std::size_t>(end - first)});
}

void putJsonEscaped(std::string_view text)
{
    constexpr char digits[] = "0123456789abcdef";
    forEachPiece(text, [&](const Piece& piece) {
        if (piece.code == '"' || piece.code == '\\') {
            const char escaped[] = {'\\', static_cast<char>(piece.code)};
            output.put({escaped, 2});
        } else if (actsOnATerminal(piece.code)) {
            const char escaped[] = {'\\', 'u', digits[piece.code >> 12 & 0xf], digits[piece.code >> 8 & 0xf],
                                    digits[piece.code >> 4 & 0xf], digits[piece.code & 0xf]};
            output.put({escaped, 6});
        } else {
            output.put(piece.bytes);
        }
    });
}

void putJsonText(const char* text)
{
    if (!text) {
        output.put("null");
        return;
    }
    putJsonText([&](auto sink) { sink(text); });
}

namespace {

// The library answers "" for the user's home without a password entry, and
// says so in the answer's own facts.
bool hasNoPasswordEntry(Origin origin)
{
    bool none = false;
    PathOrigin::forEachFact(origin, [&](const PathOrigin::Fact& fact) {
        none = none || (fact.depth == 0 && fact.kind == PathOrigin::Kind::noPasswordEntry);
    });
    return none;
}

}

void putJsonAnswer(const Answer& answer, Origin origin)
{
    if (answer.count == 1 && (!answer.parts[0] || (!*answer.parts[0] && hasNoPasswordEntry(origin)))) {
        output.put("null");
        return;
    }
    putJsonText([&](auto sink) {
        for (const char* part : answer)
            sink(part ? part : "");
    });
}

int putJsonListing(const Keyword*)
{
    const char* separator = "{";
    for (const Keyword& keyword : keywords) {
        output.put(separator);
        separator = ", ";
        putJsonText(keyword.word);
        output.put(": ");
        putJsonAnswer(ask(keyword), keyword.origin);
    }
    output.put("}\n");
    return 0;
}
