#include "Search.h"

#include "Strings.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace ravlinpath {

namespace {

// Candidates that do not fit are skipped: no file system takes a longer path.
constexpr std::size_t candidateSize = 4096;

// A directory passes the execute test too, so the file's type is asked as
// well, of the file a symbolic link leads to.
bool isExecutableFile(const char* path)
{
    struct stat status;
    return access(path, X_OK) == 0 && stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

char* executableCopy(std::initializer_list<std::string_view> parts)
{
    char candidate[candidateSize];
    if (!joinInto(candidate, sizeof candidate, parts) || !isExecutableFile(candidate))
        return nullptr;
    return copyString(candidate);
}

}

char* findOnPath(const char* name)
{
    const char* element = std::getenv("PATH");
    while (element && *element) {
        const char* colon = std::strchr(element, ':');
        std::size_t length = colon ? std::size_t(colon - element) : std::strlen(element);
        if (length > 0)
            if (char* found = executableCopy({{element, length}, "/", name}))
                return found;
        element = colon ? colon + 1 : nullptr;
    }
    return nullptr;
}

char* findInProgBin(const char* dir, const char* name)
{
    return executableCopy({dir, "/bin/", name});
}

}
