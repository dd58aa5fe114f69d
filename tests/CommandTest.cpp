#include "Child.h"

#include <gtest/gtest.h>

namespace {

const char* const usage = "missing argument: prog, exp, conf, plot, print, dot, lv, curdir, pdf, diskless or userhome\n";

struct Case {
    std::vector<std::string> args;
    std::vector<std::string> vars;
    std::string out;
    int status;
};

// What differs between rows: the arguments and the variables, cut short.
std::string label(const Case& c)
{
    std::string text = "args:";
    for (const std::string& arg : c.args)
        text += " [" + arg + "]";
    text += " vars:";
    for (const std::string& var : c.vars)
        text += " [" + (var.size() > 60 ? var.substr(0, 40) + "... " + std::to_string(var.size()) + " bytes" : var) + "]";
    return text;
}

Outcome command(const std::vector<std::string>& args, const std::vector<std::string>& vars,
                Stdout stdoutTo = Stdout::captured)
{
    Child child{{RAVLIN_PATH_COMMAND}, vars, stdoutTo};
    child.argv.insert(child.argv.end(), args.begin(), args.end());
    return run(child);
}

TEST(Command, AnswersEachKeyword)
{
    const std::string home = "RAVLINHOME=/opt/r";
    const Case cases[] = {
        {{}, {}, usage, 255},
        {{"PROG"}, {}, "illegal argument: PROG\n", 255},
        {{"prog2"}, {}, "illegal argument: prog2\n", 255},
        {{"%s%n%x"}, {}, "illegal argument: %s%n%x\n", 255},
        {{""}, {}, "illegal argument: \n", 255},
        {{"prog"}, {home}, "/opt/r/prog", 0},
        {{"prog", "exp", "--help"}, {home}, "/opt/r/prog", 0},
        {{"exp"}, {home}, "/opt/r/exp", 0},
        {{"conf"}, {home, "RAVLINCONF=D:\\cfg"}, "D:/cfg", 0},
        {{"plot"}, {home}, "/opt/r/plot", 0},
        {{"print"}, {}, "/undefined/print", 0},
        {{"dot"}, {}, "/home/nmr/.morvel-alpha", 0},
        {{"dot"}, {noUser()}, "/.morvel-alpha", 0},
        {{"lv"}, {"LUMEVA=C:\\lv"}, "C:\\lv", 0},
        {{"lv"}, {}, "", 0},
        {{"pdf"}, {"PATH=/nonexistent"}, "", 0},
        {{"diskless"}, {}, "/usr/diskless", 0},
        {{"userhome"}, {}, "/home/nmr", 0},
        {{"userhome"}, {noUser()}, "", 0},
        {{"curdir"}, {"RAVLINPROG=/p"}, "/p/curdir/nmr", 0},
        {{"curdir"}, {"RAVLINPROG=/p", noUser()}, "/p/", 0},
    };
    for (const Case& c : cases) {
        Outcome outcome = command(c.args, c.vars);
        EXPECT_EQ(outcome.out, c.out) << label(c);
        EXPECT_EQ(outcome.status, c.status) << label(c);
        EXPECT_EQ(outcome.err, "") << label(c);
    }
}

// A short answer waits in a buffer; one longer than any buffer is written
// straight away. Either way a failed write gives 255.
TEST(Command, FailsWhenTheAnswerCannotBeWritten)
{
    const Case cases[] = {
        {{"prog"}, {}, "", 255},
        {{"prog"}, {"RAVLINHOME=/" + std::string(100000, 'h')}, "", 255},
    };
    for (const Case& c : cases)
        for (Stdout stdoutTo : {Stdout::full, Stdout::closed}) {
            Outcome outcome = command(c.args, c.vars, stdoutTo);
            const std::string where = stdoutTo == Stdout::full ? " to /dev/full" : " to a closed descriptor";
            EXPECT_EQ(outcome.status, c.status) << label(c) << where;
            EXPECT_EQ(outcome.err, "") << label(c) << where;
        }
}

// The largest value execve passes in one variable.
TEST(Command, PrintsHugeValuesWhole)
{
    const std::string home(128 * 1024 - 64, 'h');
    Outcome outcome = command({"exp"}, {"RAVLINHOME=/" + home});
    EXPECT_EQ(outcome.out, "/" + home + "/exp");
    EXPECT_EQ(outcome.status, 0);
}

}
