// The library's one way to make strings.

#include "Strings.h"

#include <cstring>
#include <new>

namespace ravlinpath {

char* joinStrings(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 1;
    for (std::string_view part : parts)
        size += part.size();
    char* joined = new (std::nothrow) char[size];
    if (joined)
        joinInto(joined, size, parts);
    return joined;
}

bool joinInto(char* buffer, std::size_t size, std::initializer_list<std::string_view> parts)
{
    if (size == 0)
        return false;
    std::size_t used = 0;
    for (std::string_view part : parts) {
        if (part.size() >= size - used)
            return false;
        std::memcpy(buffer + used, part.data(), part.size());
        used += part.size();
    }
    buffer[used] = '\0';
    return true;
}

char* copyString(const char* text)
{
    return text ? joinStrings({text}) : nullptr;
}

// A loop of its own rather than strchr, which a command would bind at
// start-up for this one call.
bool holdsBackslash(const char* text)
{
    for (; *text; ++text)
        if (*text == '\\')
            return true;
    return false;
}

void normalizeSlashes(char* s)
{
    for (; s && *s; ++s)
        if (*s == '\\')
            *s = '/';
}

}
