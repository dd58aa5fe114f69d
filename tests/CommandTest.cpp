// The command: each keyword and option, the listings, the check, the
// explanations, and what it does when its output cannot be written.

#include "Child.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const usage = "missing argument: prog, exp, conf, plot, print, dot, lv, curdir, pdf, diskless or userhome\n";
const char* const keywords[] = {"prog", "exp", "conf", "plot", "print", "dot", "lv", "curdir", "pdf", "diskless", "userhome"};

// The missing-argument line as this file's keywords give it, so that they
// are checked against the command's.
std::string usageOfTheseKeywords()
{
    std::string line = "missing argument: ";
    for (std::size_t i = 0; i < std::size(keywords); ++i)
        line += std::string(i == 0 ? "" : i + 1 < std::size(keywords) ? ", " : " or ") + keywords[i];
    return line + "\n";
}

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

// Root reads and searches every directory; without the capabilities that let
// it, it meets directory permissions as any other user does.
Outcome commandBoundByPermissions(const std::vector<std::string>& args, const std::vector<std::string>& vars)
{
    Child child{{}, vars};
    if (geteuid() == 0)
        child.argv = {"/usr/bin/setpriv", "--bounding-set=-dac_override,-dac_read_search"};
    child.argv.push_back(RAVLIN_PATH_COMMAND);
    child.argv.insert(child.argv.end(), args.begin(), args.end());
    return run(child);
}

TEST(Command, AnswersEachKeywordAndOption)
{
    const std::string home = "RAVLINHOME=/opt/r";
    const Case cases[] = {
        {{}, {}, usage, 255},
        {{}, {}, usageOfTheseKeywords(), 255},
        {{"PROG"}, {}, "illegal argument: PROG\n", 255},
        {{"prog2"}, {}, "illegal argument: prog2\n", 255},
        {{"%s%n%x"}, {}, "illegal argument: %s%n%x\n", 255},
        {{"\x1b]2;\xc2\x9b\x9b\\"}, {}, "illegal argument: \\x1b]2;\\u009b\\x9b\\\\\n", 255},
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
        {{"--version", "prog"}, {}, "ravlin-path " RAVLINPATH_VERSION "\n", 0},
        {{"--hel"}, {}, "illegal argument: --hel\n", 255},
        {{"-hv"}, {}, "illegal argument: -hv\n", 255},
        {{"--help=1"}, {}, "illegal argument: --help=1\n", 255},
        {{"-help"}, {}, "illegal argument: -help\n", 255},
        {{"-"}, {}, "illegal argument: -\n", 255},
        {{"--", "--help"}, {}, "illegal argument: --\n", 255},
        {{"--explain", "exp"}, {home},
         "exp: /opt/r/exp\n  RAVLINEXP not set\n  below the home: /opt/r + exp\n    RAVLINHOME=/opt/r\n", 0},
        {{"--explain", "lv", "exp"}, {"LUMEVA=/l\x1b[2J"}, "lv: /l\\x1b[2J\n  LUMEVA=/l\\x1b[2J\n", 0},
        {{"--explain", "userhome"}, {noUser()}, "userhome:\n  uid " + std::to_string(getuid()) + ": no password entry\n", 0},
        {{"--explain", "PROG"}, {}, "illegal argument: PROG\n", 255},
    };
    for (const Case& c : cases) {
        Outcome outcome = command(c.args, c.vars);
        EXPECT_EQ(outcome.out, c.out) << label(c);
        EXPECT_EQ(outcome.status, c.status) << label(c);
        EXPECT_EQ(outcome.err, "") << label(c);
    }
}

TEST(Command, HelpNamesEveryKeywordAndOption)
{
    Outcome help = command({"--help"}, {});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(command({"-h"}, {}).out, help.out);
    for (std::string word : keywords)
        EXPECT_NE(help.out.find("\n  " + word + " "), std::string::npos) << word;
    for (std::string option : {"--all", "--shell", "--csh", "--fish", "--check", "--json", "-h, --help", "--version",
                               "ravlin-path(1)"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

// How a shell evaluates the form made for it, held in the file FORM, and
// then appends a variable's value and a NUL to the file OUT. csh and tcsh
// read the script as at a terminal, where history substitution acts on "!"
// even inside quotes; their prompts and their note on the missing terminal
// are not looked at.
struct Shell {
    const char* option;
    const char* run;  // a sh command line that runs SCRIPT
    const char* evaluate;
    const char* print;  // of the variable VARIABLE
};

const Shell shells[] = {
    {"--shell", "/bin/sh SCRIPT", "eval \"$(cat FORM)\"\n", "printf '%s\\0' \"$VARIABLE\" >>OUT\n"},
    {"--shell", "/bin/bash SCRIPT", "eval \"$(cat FORM)\"\n", "printf '%s\\0' \"$VARIABLE\" >>OUT\n"},
    {"--csh", "/usr/bin/tcsh -f -i <SCRIPT 2>/dev/null", "eval \"`cat FORM`\"\n", "printf '%s\\0' $VARIABLE:q >>OUT\n"},
    {"--csh", "/usr/bin/csh -f -i <SCRIPT 2>/dev/null", "eval \"`cat FORM`\"\n", "printf '%s\\0' $VARIABLE:q >>OUT\n"},
    {"--fish", "/usr/bin/fish SCRIPT", "source FORM\n", "printf '%s\\0' $VARIABLE >>OUT\n"},
};

std::string everyByte(bool newline)
{
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte)
        if (byte != '\n' || newline)
            bytes += static_cast<char>(byte);
    return bytes;
}

// What each keyword's variable holds after the shell evaluated form, each
// followed by a NUL.
std::string evaluated(const Shell& shell, const std::string& form)
{
    const std::string dir = freshDirectory();
    std::ofstream(dir + "/form") << form;
    std::string script = replaced(shell.evaluate, "FORM", dir + "/form");
    for (std::string word : keywords) {
        std::transform(word.begin(), word.end(), word.begin(), ::toupper);
        script += replaced(replaced(shell.print, "VARIABLE", "RAVLIN_PATH_" + word), "OUT", dir + "/out");
    }
    script += "exit\n";
    std::ofstream(dir + "/script") << script;
    run({{"/bin/sh", "-c", replaced(shell.run, "SCRIPT", dir + "/script")}, {}});
    std::ifstream out(dir + "/out");
    return {std::istreambuf_iterator<char>(out), {}};
}

// Answers with quotes, newlines, dollars, backquotes, spaces and every other
// byte, and no answers at all; --all and the variables each shell's form
// sets must hold exactly what each keyword prints. csh cannot take a newline,
// and tcsh loses bytes beyond ASCII in long output, so for those the csh form
// fails without a line rather than give a wrong value.
TEST(Command, AllAndShellFormsGiveEachKeywordsAnswer)
{
    const std::string odd = "it's \"$HOME\" `id`\n\\\\ end";
    const std::string viewers = freshDirectory() + "/" + odd;
    mkdir(viewers.c_str(), 0755);
    makeFile(viewers + "/evince", 0755);
    const struct {
        std::vector<std::string> vars;
        bool printable;  // so that each explanation opens with the line --all prints
        bool cshRefuses;
    } scenes[] = {
        {{"RAVLINHOME=/" + odd, "LUMEVA=" + odd, "PATH=" + viewers, userWithHome("/home/" + replaced(odd, "\n", ""))},
         true, true},
        {{noUser(), "PATH=/nonexistent"}, true, false},
        {{"LUMEVA=!!" + everyByte(true)}, false, true},  // !! stands for the last command line in csh
        {{"LUMEVA=!!" + everyByte(false)}, false, false},
        {{"RAVLINHOME=/" + std::string(1000, '\xff')}, false, true},
    };
    for (const auto& [vars, printable, cshRefuses] : scenes) {
        std::string all, answers;
        for (std::string word : keywords) {
            const std::string answer = command({word}, vars).out;
            all += word + (answer.empty() ? ":" : ": " + answer) + "\n";
            answers += answer + '\0';
        }
        Outcome listed = command({"--all"}, vars);
        EXPECT_EQ(listed.out, all);
        EXPECT_EQ(listed.status, 0);
        std::string openings;
        const std::string explained = command({"--explain"}, vars).out;
        for (std::size_t at = 0; at != std::string::npos + 2; at = explained.find("\n\n", at) + 2)
            openings += explained.substr(at, explained.find('\n', at) + 1 - at);
        if (printable) {
            EXPECT_EQ(openings, replaced(replaced(all, "\\", "\\\\"), "`id`\n", "`id`\\n"));
        }
        for (const Shell& shell : shells) {
            const Outcome form = command({shell.option}, vars);
            EXPECT_EQ(form.err, "") << shell.run;
            if (cshRefuses && shell.option == std::string("--csh")) {
                EXPECT_EQ(form.out, "") << shell.run;
                EXPECT_EQ(form.status, 255) << shell.run;
                continue;
            }
            EXPECT_EQ(form.status, 0) << shell.run;
            EXPECT_EQ(evaluated(shell, form.out), answers) << shell.run << "\n" << form.out;
        }
    }
}

// Complete when the home is located and the five installation directories
// are directories the user may read and search; a dot directory not created
// yet is no fault.
TEST(Command, ChecksTheInstallation)
{
    const std::string home = freshDirectory();
    for (const char* dir : {"/prog", "/exp", "/conf", "/plot", "/print"})
        mkdir((home + dir).c_str(), 0755);
    const std::string broken = freshDirectory();
    for (const char* dir : {"/prog", "/conf", "/plot"})
        mkdir((broken + dir).c_str(), 0755);
    makeFile(broken + "/print", 0644);
    const std::string viewers = freshDirectory();
    mkdir((viewers + "/prog").c_str(), 0755);
    mkdir((viewers + "/prog/bin").c_str(), 0755);
    makeFile(viewers + "/prog/bin/xpdf", 0755);
    const std::string locked = freshDirectory();
    for (const char* dir : {"/prog", "/exp", "/conf", "/plot", "/print"})
        mkdir((locked + dir).c_str(), 0755);
    chmod((locked + "/exp").c_str(), 0);
    const std::vector<std::string> everyDirectory = {"RAVLINPROG=" + home + "/prog", "RAVLINEXP=" + home + "/exp",
                                          "RAVLINCONF=" + home + "/conf", "RAVLINPLOT=" + home + "/plot",
                                          "RAVLINPRINT=" + home + "/print"};
    auto withHome = [&](const std::string& value) {
        std::vector<std::string> vars = everyDirectory;
        vars.push_back("RAVLINHOME=" + value);
        return vars;
    };
    const Case cases[] = {
        {{"--check"}, {"RAVLINHOME=" + home}, "The installation is complete.", 0},
        {{"--check"}, {"RAVLINHOME=" + home, noUser(), "PATH=/nonexistent"}, "The installation is complete.", 0},
        {{"--check"}, {}, "fault  not located: set RAVLINHOME", 1},
        {{"--check"}, everyDirectory, "home      /undefined", 1},
        {{"--check"}, {"RAVLINHOME=" + broken}, "fault  does not exist", 1},
        {{"--check"}, {"RAVLINHOME=" + broken}, "fault  not a directory", 1},
        {{"--check"}, {"RAVLINHOME=" + locked}, "fault  not readable and searchable by this user", 1},
        {{"--check"}, withHome(""), "fault  not located: RAVLINHOME is empty", 1},
        {{"--check"}, withHome(home + "/missing"), "fault  does not exist", 1},
        {{"--check"}, withHome(broken + "/print"), "fault  not a directory", 1},
        {{"--check"}, withHome("."), "note   relative: the answers depend on the current directory", 0},
        {{"--check"}, withHome(home + "/missing"), "from RAVLINEXP", 1},
        {{"--check"}, {"RAVLINHOME=" + home}, "none found (looked for acroread, evince and xpdf)", 0},
        {{"--check"}, {"RAVLINHOME=" + viewers}, "the program directory  ok     found", 1},
        {{"--check"}, {"RAVLINHOME=" + home, "RAVLINEXP=/x\n\nThe installation is complete."},
         "/x\\n\\nThe installation is complete. ", 1},
        {{"--check"}, {"RAVLINHOME=/r\x1b[2J"}, "home      /r\\x1b[2J ", 1},
    };
    for (const Case& c : cases) {
        Outcome outcome = commandBoundByPermissions(c.args, c.vars);
        EXPECT_NE(outcome.out.find(c.out), std::string::npos) << label(c) << "\n" << outcome.out;
        EXPECT_EQ(outcome.status, c.status) << label(c);
        EXPECT_EQ(outcome.err, "") << label(c);
    }
    chmod((locked + "/exp").c_str(), 0755);
}

// Each byte of an answer in the check's report, as the report shows it, and
// the columns it takes there; the verdicts line up after what is shown.
TEST(Command, CheckShowsControlBytesEscaped)
{
    const std::string wide = "/opt/lumeva/wider-than-every-other-answer/";
    // The source column is as wide as its widest, "below the user's home", and two spaces.
    const auto sourced = [](const std::string& source) { return source + std::string(23 - source.size(), ' '); };
    const struct {
        std::string raw, shown;
        std::size_t columns;
    } bytes[] = {
        {"\n", "\\n", 2}, {"\t", "\\t", 2}, {"\\", "\\\\", 2}, {"\x1b]2;title\x07", "\\x1b]2;title\\x07", 16},
        {"\r", "\\x0d", 4}, {"\x01", "\\x01", 4}, {"\x1f", "\\x1f", 4}, {"\x7f", "\\x7f", 4}, {" ~", " ~", 2},
        {"r\xc3\xa9sultats", "r\xc3\xa9sultats", 9},             // UTF-8 as it is, one column a character
        {"\xe6\x97\xa5\xe6\x9c\xac", "\xe6\x97\xa5\xe6\x9c\xac", 4},   // two columns each
        {"e\xcc\x81", "e\xcc\x81", 1},                             // a combining accent takes none
        {"\xf0\x9f\x9a\x80", "\xf0\x9f\x9a\x80", 2}, {"\xe0\xa4\xa8\xe0\xa5\x8d", "\xe0\xa4\xa8\xe0\xa5\x8d", 1},
        {"\xe3\x81\x8b\xe3\x82\x99", "\xe3\x81\x8b\xe3\x82\x99", 2},
        {"\xc2\x9b" "2J", "\\u009b" "2J", 8}, {"\x9b" "2J", "\\x9b" "2J", 6},  // C1, encoded and lone
        {"\xe2\x80\xae" "abc", "\\u202e" "abc", 9}, {"\xe2\x81\xa6", "\\u2066", 6},  // bidirectional
        {"\xff\xc3", "\\xff\\xc3", 8},                              // not UTF-8, cut short
        {"\xc0\xaf\xed\xa0\x80", "\\xc0\\xaf\\xed\\xa0\\x80", 20},  // overlong, surrogate
    };
    for (const auto& [raw, shown, columns] : bytes) {
        Outcome outcome = command({"--check"}, {"RAVLINHOME=/opt/r", "LUMEVA=" + wide + raw, "PATH=/nonexistent"});
        const std::size_t width = wide.size() + columns;
        EXPECT_NE(outcome.out.find("\nlv        " + wide + shown + "  " + sourced("from LUMEVA") + "ok     configured\n"),
                  std::string::npos)
            << shown << "\n" << outcome.out;
        EXPECT_NE(outcome.out.find("\nuserhome  /home/nmr" + std::string(width + 2 - 9, ' ') + sourced("password entry")
                                   + "ok "),
                  std::string::npos)
            << shown << "\n" << outcome.out;
        EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 14) << shown;
    }
}

// A short answer waits in a buffer; one longer than any buffer is written
// straight away. Either way a failed write gives 255, for options too.
TEST(Command, FailsWhenTheAnswerCannotBeWritten)
{
    const Case cases[] = {
        {{"prog"}, {}, "", 255},
        {{"prog"}, {"RAVLINHOME=/" + std::string(100000, 'h')}, "", 255},
        {{"--all"}, {}, "", 255},
        {{"--shell"}, {}, "", 255},
        {{"--csh"}, {}, "", 255},
        {{"--fish"}, {}, "", 255},
        {{"--json"}, {}, "", 255},
        {{"--check", "--json"}, {}, "", 255},
        {{"--explain", "--json"}, {}, "", 255},
        {{"--check"}, {}, "", 255},
        {{"--explain"}, {}, "", 255},
        {{"--help"}, {}, "", 255},
        {{"--version"}, {}, "", 255},
    };
    for (const Case& c : cases)
        for (Stdout stdoutTo : {Stdout::full, Stdout::closed}) {
            Outcome outcome = command(c.args, c.vars, stdoutTo);
            const std::string where = stdoutTo == Stdout::full ? " to /dev/full" : " to a closed descriptor";
            EXPECT_EQ(outcome.status, c.status) << label(c) << where;
            EXPECT_EQ(outcome.err, "") << label(c) << where;
        }
}

// The pages are written by hand, so their headers must follow the version.
TEST(Command, ManPagesNameTheVersion)
{
    for (const char* page : {"ravlin-path.1", "ravlinpath.3"}) {
        std::ifstream file(std::string(FIXTURES) + "/../../doc/" + page);
        std::string header;
        std::getline(file, header);
        EXPECT_TRUE(header.starts_with(".TH ")) << page << ": " << header;
        EXPECT_NE(header.find(" \"ravlinpath " RAVLINPATH_VERSION "\" "), std::string::npos) << page << ": " << header;
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
