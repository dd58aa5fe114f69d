#ifndef RAVLINPATH_TOOL_JSON_H
#define RAVLINPATH_TOOL_JSON_H

// The answers as JSON, for programs: one document and a newline, always valid
// UTF-8. A text is a JSON string, or, when it is not UTF-8, the array of its
// byte values, so that nothing is lost or guessed. The shapes are described
// in ravlin-path.schema.json.

#include "Keywords.h"
#include "Output.h"
#include "Utf8.h"

#include <string_view>

void putJsonNumber(unsigned long number);

// A valid UTF-8 text between the quotes of a JSON string, with control
// characters and bidirectional overrides written as \u escapes.
void putJsonEscaped(std::string_view text);

// A text given in pieces: pieces(sink) calls sink(std::string_view) for each,
// and is called twice, once to judge the text and once to write it.
template <typename Pieces>
void putJsonText(const Pieces& pieces)
{
    bool utf8 = true;
    pieces([&](std::string_view piece) { utf8 = utf8 && isUtf8(piece); });
    if (utf8) {
        output.put("\"");
        pieces([](std::string_view piece) { putJsonEscaped(piece); });
        output.put("\"");
        return;
    }
    const char* separator = "[";
    pieces([&](std::string_view piece) {
        for (unsigned char byte : piece) {
            output.put(separator);
            separator = ", ";
            putJsonNumber(byte);
        }
    });
    output.put("]");
}

// A text, or null for a null text.
void putJsonText(const char* text);

// key (with what leads to it) and text, or nothing for a null text.
void putJsonField(const char* key, const char* text);

// An answer, or null where the library has none: no Lumeva, no viewer, no
// password entry. An empty answer that is the library's is "".
void putJsonAnswer(const Answer& answer, Origin origin);

// --json, --all --json: an object of every keyword and its answer.
int putJsonListing(const Keyword* ignored);

#endif
