// Fuzzes the executable searches with a PATH value and a program directory
// from the input: any answer must be an executable candidate ending in the
// searched name.

#include "Search.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace ravlinpath;

namespace {

// The searches answer a new[] allocation; the library keeps it for the life
// of the process, the fuzzer frees it.
void check(std::unique_ptr<char[]> found, const std::string& name)
{
    if (!found)
        return;
    const std::string path = found.get();
    if (path.size() <= name.size() || path.compare(path.size() - name.size() - 1, std::string::npos, "/" + name) != 0
        || access(path.c_str(), X_OK) != 0)
        std::abort();
}

// Sets PATH without growing the environment: setenv keeps a copy of every
// value a variable ever had, putenv puts this buffer itself there. The buffer
// is only ever replaced by a larger one, and never destroyed: exit handlers
// may still read the environment.
void setPath(const std::string& value)
{
    static std::vector<char>& assignment = *new std::vector<char>;
    const std::string text = "PATH=" + value;
    std::vector<char> outgrown;  // freed on return, once PATH no longer points into it
    if (text.size() >= assignment.size())
        outgrown = std::exchange(assignment, std::vector<char>(text.size() + 1));
    std::memcpy(assignment.data(), text.c_str(), text.size() + 1);
    putenv(assignment.data());
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string name = input.PickValueInArray({"sh", "ls", "bin", "acroread", ""});
    const std::string dir = input.ConsumeRandomLengthString(5000);
    const std::string path = input.ConsumeRemainingBytesAsString();
    setPath(path);
    check(std::unique_ptr<char[]>(findOnPath(name.c_str())), name);
    check(std::unique_ptr<char[]>(findInProgBin(dir.c_str(), name.c_str())), name);
    return 0;
}
