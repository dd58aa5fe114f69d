// Runs the command or the probe as a child process with an environment of
// its own (see Child.h).

#include "Child.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Reads the child's standard output and standard error as they come, so that
// a child filling one pipe never waits for the other to be read; closes both.
void readBoth(int out, int err, Outcome& outcome)
{
    pollfd pipes[] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
    std::string* texts[] = {&outcome.out, &outcome.err};
    for (int openPipes = 2; openPipes > 0;) {
        if (poll(pipes, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error("poll failed");
        }
        for (int i = 0; i < 2; ++i) {
            if (pipes[i].revents == 0)
                continue;
            char buffer[65536];
            ssize_t n = read(pipes[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, n);
            } else if (n == 0 || errno != EINTR) {
                close(pipes[i].fd);
                pipes[i].fd = -1;
                --openPipes;
            }
        }
    }
}

// The password and group files live together in a directory of their own.
std::string passwdFile(const std::string& name, const std::string& entry)
{
    static const std::string dir = freshDirectory();
    std::string path = dir + "/" + name;
    std::ofstream(path) << entry;
    return path;
}

std::string passwdEntry(const std::string& home)
{
    return "nmr:x:" + std::to_string(getuid()) + ":" + std::to_string(getgid()) + ":NMR:" + home + ":/bin/sh\n";
}

std::vector<std::string> defaults()
{
    static const std::string passwd = passwdFile("passwd", passwdEntry("/home/nmr"));
    static const std::string group = passwdFile("group", "nmr:x:" + std::to_string(getgid()) + ":\n");
    std::vector<std::string> vars = {"LD_PRELOAD=" NSS_WRAPPER_LIBRARY, "NSS_WRAPPER_PASSWD=" + passwd,
                                     "NSS_WRAPPER_GROUP=" + group, "NSS_WRAPPER_HOSTNAME=alpha.beta"};
    // nss_wrapper is loaded ahead of the sanitizer runtimes, and its own
    // locking is not under test: ThreadSanitizer leaves alone the calls made
    // from code it did not instrument (nss_wrapper unlocks mutexes it never
    // locked), which it tells by address range, without symbolizing a frame.
    vars.push_back("ASAN_OPTIONS=verify_asan_link_order=0");
    vars.push_back("TSAN_OPTIONS=ignore_noninstrumented_modules=1");
    return vars;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (std::string& text : texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

}

std::string noUser()
{
    static const std::string path = passwdFile("passwd-nobody", "other:x:" + std::to_string(getuid() + 1) + ":0::/:/bin/sh\n");
    return "NSS_WRAPPER_PASSWD=" + path;
}

std::string userWithHome(const std::string& home)
{
    return "NSS_WRAPPER_PASSWD=" + passwdFile("passwd-" + std::to_string(std::hash<std::string>()(home)), passwdEntry(home));
}

std::string replaced(std::string text, const std::string& placeholder, const std::string& value)
{
    for (std::size_t at = 0; (at = text.find(placeholder, at)) != std::string::npos; at += value.size())
        text.replace(at, placeholder.size(), value);
    return text;
}

Outcome run(const Child& child)
{
    std::vector<std::string> argv = child.argv;
    std::vector<std::string> env = child.vars;
    for (const std::string& var : defaults())
        env.push_back(var);
    std::vector<char*> argvPointers = pointers(argv);
    std::vector<char*> envPointers = pointers(env);

    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid == 0) {
        if (child.stdoutTo == Stdout::captured)
            dup2(out[1], 1);
        else if (child.stdoutTo == Stdout::full)
            dup2(open("/dev/full", O_WRONLY), 1);
        else
            close(1);
        dup2(err[1], 2);
        close(out[0]);
        close(err[0]);
        execve(argvPointers[0], argvPointers.data(), envPointers.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    Outcome outcome;
    readBoth(out[0], err[0], outcome);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}
