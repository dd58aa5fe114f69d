// The answers as JSON (see Json.h).

#include "Json.h"

void putJsonNumber(unsigned long number)
{
    char digits[24];
    char* const end = digits + sizeof digits;
    char* first = end;
    do {
        *--first = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0);
    output.put({first, static_cast<std::size_t>(end - first)});
}

void putJsonEscaped(std::string_view text)
{
    forEachPiece(text, [](const Piece& piece) {
        if (piece.code == '"' || piece.code == '\\') {
            const char escape[] = {'\\', static_cast<char>(piece.code)};
            output.put({escape, 2});
        } else if (actsOnATerminal(piece.code)) {
            output.put(escaped('u', piece.code, 4).view());
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

void putJsonField(const char* key, const char* text)
{
    if (!text)
        return;
    output.put(key);
    putJsonText(text);
}

void putJsonAnswer(const Answer& answer, Origin origin)
{
    // The library answers "" for the user's home without a password entry.
    if (answer.count == 1 && (!answer.parts[0] || (!*answer.parts[0] && restsOnNoPasswordEntry(origin)))) {
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
