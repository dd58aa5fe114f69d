#include "Scratch.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Removed at exit by the process that made it, never by a forked child.
struct ScratchDirectory {
    ScratchDirectory()
    {
        char pattern[] = "/tmp/ravlinpath-test-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    ~ScratchDirectory()
    {
        std::error_code ignored;
        if (getpid() == owner)
            std::filesystem::remove_all(path, ignored);
    }

    std::string path;
    const pid_t owner = getpid();
};

}

std::string freshDirectory()
{
    static const ScratchDirectory scratch;
    static int count = 0;
    std::string path = scratch.path + "/d" + std::to_string(++count);
    mkdir(path.c_str(), 0755);
    return path;
}

void makeFile(const std::string& path, unsigned mode)
{
    std::ofstream(path) << "#!/bin/sh\n";
    chmod(path.c_str(), mode);
}
