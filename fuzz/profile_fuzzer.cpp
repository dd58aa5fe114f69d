// Fuzzes readProfileString: the file content, section, key, default and size
// all come from the input. The file lives in memory, reached by path.

#include <ravlinpath/IniFile.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int guardBytes = 16;
constexpr char guard = '\x5a';

const std::string& registryPath(int fd)
{
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    return path;
}

bool isWhite(char c)
{
    return std::strchr(" \t\n\v\f\r", c) && c != '\0';
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("registry", 0);
    FuzzedDataProvider input(data, size);
    const int outSize = input.ConsumeIntegralInRange<int>(-1, 300);
    const std::string section = input.ConsumeRandomLengthString(200);
    const std::string key = input.ConsumeRandomLengthString(64);
    const std::string defaultValue = input.ConsumeRandomLengthString(64);
    const std::string content = input.ConsumeRemainingBytesAsString();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, content.data(), content.size(), 0) != ssize_t(content.size()))
        std::abort();

    const std::size_t usable = outSize > 0 ? outSize : 0;
    std::vector<char> out(usable + 1 + guardBytes, guard);
    std::memset(out.data(), 0, usable + 1);
    const int answer = readProfileString(section.c_str(), key.c_str(), defaultValue.c_str(), out.data(), outSize,
                                         registryPath(fd).c_str());

    // Nothing is written past size bytes; a found value is trimmed and non-empty.
    for (std::size_t i = usable; i < out.size(); ++i)
        if (out[i] != (i == usable ? '\0' : guard))
            std::abort();
    if (answer != 0 && answer != 1)
        std::abort();
    const std::size_t length = std::strlen(out.data());
    if (answer == 1 && (length == 0 || isWhite(out[0]) || isWhite(out[length - 1])))
        std::abort();
    return 0;
}
