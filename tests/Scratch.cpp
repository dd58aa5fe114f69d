// The scratch directory of a test process, and the files and leases the
// tests make in it.

#include "Scratch.h"

#include <csignal>
#include <ctime>
#include <fcntl.h>
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

namespace {

// Gives the lease on fd up each time the kernel signals an open, and takes it
// again at once, for seconds; the status the holder ends with.
int renewLease(int fd, const sigset_t& breaking, unsigned seconds)
{
    const timespec patience{1, 0};
    for (const time_t end = time(nullptr) + seconds; time(nullptr) < end;)
        if (sigtimedwait(&breaking, nullptr, &patience) == SIGIO
            && (fcntl(fd, F_SETLEASE, F_UNLCK) != 0 || fcntl(fd, F_SETLEASE, F_WRLCK) != 0))
            return 2;
    return 0;
}

}

bool holdLease(const std::string& path, pid_t& holder, unsigned keepSeconds, unsigned renewSeconds)
{
    int ready[2];
    if (pipe(ready) != 0 || (holder = fork()) < 0)
        return false;
    if (holder == 0) {
        sigset_t breaking;
        sigemptyset(&breaking);
        sigaddset(&breaking, SIGIO);
        sigprocmask(SIG_BLOCK, &breaking, nullptr);
        int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0 || fcntl(fd, F_SETLEASE, F_WRLCK) != 0 || write(ready[1], "held", 1) != 1)
            _exit(1);
        if (renewSeconds > 0)
            _exit(renewLease(fd, breaking, renewSeconds));
        const timespec patience{30, 0};
        if (sigtimedwait(&breaking, nullptr, &patience) != SIGIO)
            _exit(2);
        sleep(keepSeconds);
        _exit(fcntl(fd, F_SETLEASE, F_UNLCK) == 0 ? 0 : 2);
    }
    close(ready[1]);
    char byte;
    bool held = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    return held;
}
