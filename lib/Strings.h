#ifndef RAVLINPATH_STRINGS_H
#define RAVLINPATH_STRINGS_H

// The library's one way to make strings. Every string it keeps is allocated
// here, once, and held until the process ends; a failed allocation answers
// null and each caller substitutes its fixed fallback.
//
// The library's internal helpers live in namespace ravlinpath, so that the
// archive defines no global name beyond the public API and a program may have
// functions of the same names.

#include <cstddef>
#include <initializer_list>
#include <string_view>

namespace ravlinpath {

// The parts joined into a newly allocated string, or null when the
// allocation fails.
char* joinStrings(std::initializer_list<std::string_view> parts);

// The parts joined into buffer; false, with buffer unspecified, when they do
// not fit with their terminating NUL.
bool joinInto(char* buffer, std::size_t size, std::initializer_list<std::string_view> parts);

// A newly allocated copy of text; null when text is null or the allocation fails.
char* copyString(const char* text);

// Whether text holds a backslash.
bool holdsBackslash(const char* text);

// Turns every backslash of s into a forward slash, in place; s may be null.
void normalizeSlashes(char* s);

// A fixed fallback text, stored where the library keeps its writable strings.
// Fixed texts hold no backslash, so normalizeSlashes never writes to them.
inline char* fixedText(const char* text) { return const_cast<char*>(text); }

// text, or the empty string when text is null.
inline const char* orEmpty(const char* text) { return text ? text : ""; }

}

#endif
