#include "Child.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string readAll(int fd)
{
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    close(fd);
    return text;
}

const std::string& scratch()
{
    static const std::string dir = [] {
        char pattern[] = "/tmp/ravlinpath-test-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("mkdtemp failed");
        return std::string(pattern);
    }();
    return dir;
}

std::string passwdFile(const std::string& name, const std::string& entry)
{
    std::string path = scratch() + "/" + name;
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
    // locking is not under test.
    vars.push_back("ASAN_OPTIONS=verify_asan_link_order=0");
    vars.push_back("TSAN_OPTIONS=suppressions=" TSAN_SUPPRESSIONS);
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

std::string freshDirectory()
{
    static int count = 0;
    std::string path = scratch() + "/d" + std::to_string(++count);
    mkdir(path.c_str(), 0755);
    return path;
}

std::string replaced(std::string text, const std::string& placeholder, const std::string& value)
{
    for (std::size_t at = 0; (at = text.find(placeholder, at)) != std::string::npos; at += value.size())
        text.replace(at, placeholder.size(), value);
    return text;
}

void makeFile(const std::string& path, unsigned mode)
{
    std::ofstream(path) << "#!/bin/sh\n";
    chmod(path.c_str(), mode);
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
    outcome.out = readAll(out[0]);
    outcome.err = readAll(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}
