// The executable searches along PATH and in the program directory's bin.

#include "Search.h"

#include "Strings.h"

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace ravlinpath {

namespace {

using Candidate = PathOrigin::Candidate;

// Candidates that do not fit are skipped: no file system takes a longer path.
constexpr std::size_t candidateSize = 4096;

// A directory passes the execute test too, so the file's type is asked as
// well, of the file a symbolic link leads to. access() asks for the real
// user; a missing file costs it alone.
Candidate verdictOn(const char* path)
{
    const bool executable = access(path, X_OK) == 0;
    if (!executable && (errno == ENOENT || errno == ENOTDIR))
        return Candidate::missing;
    struct stat status;
    if (stat(path, &status) != 0)
        return Candidate::unreachable;
    if (S_ISDIR(status.st_mode))
        return Candidate::directory;
    if (!S_ISREG(status.st_mode))
        return Candidate::notRegular;
    return executable ? Candidate::found : Candidate::notExecutable;
}

char* executableCopy(std::initializer_list<std::string_view> parts, TriedList* tried)
{
    char candidate[candidateSize];
    Candidate verdict = joinInto(candidate, sizeof candidate, parts) ? verdictOn(candidate) : Candidate::tooLong;
    char* found = verdict == Candidate::found ? copyString(candidate) : nullptr;
    if (verdict == Candidate::found && !found)
        verdict = Candidate::notCopied;
    if (tried)
        tried->add(verdict, parts);
    return found;
}

}

// Candidates are kept in blocks of this size, a search's worth in one.
constexpr std::size_t blockSize = 1024;

void* TriedList::allocate(std::size_t size)
{
    size = (size + alignof(Tried) - 1) / alignof(Tried) * alignof(Tried);
    if (size > room) {
        const std::size_t fresh = std::max(size, blockSize);
        spare = new (std::nothrow) char[fresh];
        room = spare ? fresh : 0;
        if (!spare)
            return nullptr;
    }
    void* memory = spare;
    spare += size;
    room -= size;
    return memory;
}

const char* TriedList::keep(const char* text)
{
    if (!text)
        return nullptr;
    const std::size_t size = std::strlen(text) + 1;
    void* memory = allocate(size);
    return memory ? static_cast<const char*>(std::memcpy(memory, text, size)) : nullptr;
}

// The first candidate opens the first block, which the list's head then
// points to, so the block is seen as held, not lost. A candidate and its
// path are taken together, so that none is half recorded.
void TriedList::add(Candidate verdict, std::initializer_list<std::string_view> parts)
{
    std::size_t size = 1;
    for (std::string_view part : parts)
        size += part.size();
    char* memory = static_cast<char*>(allocate(sizeof(Tried) + size));
    if (!memory)
        return;
    char* path = memory + sizeof(Tried);
    joinInto(path, size, parts);
    *end = new (memory) Tried{nullptr, verdict, path};
    end = &(*end)->next;
}

char* findOnPath(const char* name, TriedList* tried)
{
    const char* element = std::getenv("PATH");
    while (element && *element) {
        const char* colon = std::strchr(element, ':');
        std::size_t length = colon ? std::size_t(colon - element) : std::strlen(element);
        if (length > 0)
            if (char* found = executableCopy({{element, length}, "/", name}, tried))
                return found;
        element = colon ? colon + 1 : nullptr;
    }
    return nullptr;
}

char* findInProgBin(const char* dir, const char* name, TriedList* tried)
{
    return executableCopy({dir, "/bin/", name}, tried);
}

}
