#ifndef RAVLINPATH_TESTS_CHILD_H
#define RAVLINPATH_TESTS_CHILD_H

// Answers are computed once per process, so every scenario runs in a child
// process with an environment of its own. nss_wrapper stands in for the
// password database and the host name: the real user is nmr, home /home/nmr,
// on the host alpha.beta, unless a scenario's variables say otherwise.

#include "Scratch.h"

#include <string>
#include <vector>

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;
};

enum class Stdout { captured, full, closed };

struct Child {
    std::vector<std::string> argv;
    std::vector<std::string> vars;  // NAME=VALUE, before the defaults
    Stdout stdoutTo = Stdout::captured;
};

Outcome run(const Child& child);

// A variable that makes the real user unknown to the password database.
std::string noUser();

// A variable whose password entry has this home directory for the real user.
std::string userWithHome(const std::string& home);

// text with every occurrence of placeholder replaced by value.
std::string replaced(std::string text, const std::string& placeholder, const std::string& value);

#endif
