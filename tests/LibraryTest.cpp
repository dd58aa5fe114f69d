// The library's answers, their explanations, and how they are computed
// from many threads and when memory runs out, each scenario in a probe
// process of its own.

#include "Child.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

struct Probe {
    Lines vars;
    Lines items;
    int kind = 0;
    long failingAllocation = 0;
};

Lines lines(const std::string& text)
{
    Lines result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

Outcome probe(const Probe& p)
{
    Child child{{PROBE, "-k", std::to_string(p.kind), "-f", std::to_string(p.failingAllocation)}, p.vars};
    child.argv.insert(child.argv.end(), p.items.begin(), p.items.end());
    return run(child);
}

struct Case {
    Probe probe;
    Lines answers;
};

void expectAnswers(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        Outcome outcome = probe(c.probe);
        EXPECT_EQ(lines(outcome.out), c.answers) << "first item " << c.probe.items.front();
        EXPECT_EQ(outcome.status, 0);
    }
}

const Lines treeQueries = {"pathRavlinHome", "pathRavlinProg", "pathRavlinExp", "pathRavlinExpStan",
                           "pathRavlinConf", "pathRavlinPlot", "pathRavlinLayout", "pathRavlinPrint",
                           "docuDir", "pathRavlinAppDefaults", "pathRavlinHints"};

// readSettings first and a Fennet query next, so that one thread reads the
// registry's name while another sets it.
const Lines allQueries = {
    "readSettings", "fennetProg", "pathRavlinHome", "pathRavlinProg", "pathRavlinExp", "pathRavlinExpStan",
    "pathRavlinConf", "pathRavlinPlot", "pathRavlinLayout", "pathRavlinPrint", "pathRavlinDot", "pathRavlinCurDir",
    "pathRavlinAppDefaults", "pathRavlinHints", "pathRavlinDisklessInst", "pathRavlinDisklessRoot",
    "pathRavlinDisklessLock", "pathRavlinPlatform", "pathSystemPdfViewer", "pathSystemLumeva", "pathSystemUserHome",
    "pathSystemTmpDir", "pathSystemPlatform", "docuDir", "expStanDir", "userName", "userProfile", "analysisRegistry",
    "fennetExe", "fennetWin", "briskoPath", "quambyPath"};

TEST(Library, InstallationTree)
{
    expectAnswers({
        {{{}, treeQueries},
         {"/undefined", "/undefined/prog", "/undefined/exp", "/undefined/exp/stan", "/undefined/conf",
          "/undefined/plot", "/undefined/plot/layouts", "/undefined/print", "/undefined/prog/docu",
          "/undefined/prog/app-defaults", "/undefined/prog/hints"}},
        {{{"RAVLINHOME=/opt/r", "RAVLINPLOT=/x"}, treeQueries},
         {"/opt/r", "/opt/r/prog", "/opt/r/exp", "/opt/r/exp/stan", "/opt/r/conf", "/x",
          "/opt/r/plot/layouts", "/opt/r/print", "/opt/r/prog/docu", "/opt/r/prog/app-defaults",
          "/opt/r/prog/hints"}},
        {{{"RAVLINHOME=C:\\soft\\r", "RAVLINPROG=/p", "RAVLINEXP=/e", "PLENKO_STAN=std", "RAVLINCONF=D:\\cfg",
           "RAVLINLAYOUT=/l", "RAVLINPRINT=/pr", "TAZLO_HOME=/t"}, treeQueries},
         {"C:/soft/r", "/p", "/e", "/e/std", "D:/cfg", "C:/soft/r/plot", "/l", "/pr", "/p/docu",
          "/p/app-defaults", "/p/hints"}},
        // Variables set to the empty string count as set.
        {{{"RAVLINHOME=", "RAVLINEXP="}, {"pathRavlinProg", "pathRavlinExp", "pathRavlinExpStan"}},
         {"/prog", "", "/stan"}},
        {{{"RAVLINEXP=/e", "PLENKO_STAN=", "RAVLINPROG="}, {"pathRavlinExpStan", "pathRavlinProg", "docuDir"}},
         {"/e/", "", "/docu"}},
    });
}

TEST(Library, TazloFamily)
{
    const Lines ravlinVars = {"RAVLINHOME=/r", "RAVLINPROG=/rp", "RAVLINEXP=/re", "RAVLINCONF=/rc", "PLENKO_STAN=s"};
    Lines all = ravlinVars;
    all.insert(all.end(), {"TAZLO_HOME=/t", "TAZLO_EXP=/te", "TAZLO_STAN=ts", "TAZLO_CONF=/tc", "TAZLO_PLOT=/tp",
                           "TAZLO_LAYOUT=/tl", "TAZLO_PRINT=/tr"});
    expectAnswers({
        {{ravlinVars, {"pathRavlinHome", "pathRavlinProg", "pathRavlinExp", "pathRavlinExpStan", "pathRavlinDot",
                       "pathRavlinPlatform", "pathSystemPlatform"}, 1},
         {"/undefined", "/undefined/prog", "/undefined/exp", "/undefined/exp", "/home/nmr/.tazlo-alpha", "1", "1"}},
        {{all, treeQueries, 1},
         {"/t", "/t/prog", "/te", "/te/ts", "/tc", "/tp", "/tl", "/tr", "/t/prog/docu", "/t/prog/app-defaults",
          "/t/prog/hints"}},
        {{{"TAZLO_PROG=/tp"}, {"pathRavlinProg", "pathRavlinPlatform"}, 7}, {"/undefined/prog", "7"}},
    });
}

TEST(Library, UserAndHost)
{
    const Lines user = {"userName", "pathSystemUserHome", "userProfile", "pathRavlinDot", "pathRavlinCurDir",
                        "pathRavlinCurDir"};
    const std::string longHost(255, 'h');
    expectAnswers({
        {{{}, user}, {"nmr", "/home/nmr", "/home/nmr", "/home/nmr/.morvel-alpha", "curdir/nmr", "curdir/nmr"}},
        {{{noUser()}, user}, {"", "", "", "/.morvel-alpha", "", ""}},
        {{{userWithHome("\\home\\nmr"), "NSS_WRAPPER_HOSTNAME=beta"}, {"userProfile", "pathRavlinDot"}},
         {"/home/nmr", "/home/nmr/.morvel-beta"}},
        // A password entry over 1 MiB counts as missing.
        {{{userWithHome("/" + std::string(1 << 20, 'h'))}, user}, {"", "", "", "/.morvel-alpha", "", ""}},
        {{{"NSS_WRAPPER_HOSTNAME=" + longHost}, {"pathRavlinDot"}}, {"/home/nmr/.morvel-" + longHost}},
        // A host name too long for the buffer counts as unavailable.
        {{{"NSS_WRAPPER_HOSTNAME=" + longHost + "hh"}, {"pathRavlinDot"}}, {"/home/nmr/.morvel-"}},
    });
}

TEST(Library, MachinePaths)
{
    expectAnswers({
        {{{"TMPDIR=/var/tmp", "LUMEVA=C:\\opt\\l"},
          {"pathSystemTmpDir", "pathSystemLumeva", "pathRavlinDisklessInst", "pathRavlinDisklessRoot",
           "pathRavlinDisklessLock", "pathRavlinPlatform"}},
         {"/tmp", "C:\\opt\\l", "/usr/diskless", "/usr/diskless/clients/spect/root",
          "/usr/diskless/clients/spect/lock", "0"}},
        {{{}, {"pathSystemLumeva", "set:LUMEVA=/late", "pathSystemLumeva"}}, {"(null)", "(null)"}},
    });
}

TEST(Library, AnswersAreHeldForTheProcess)
{
    expectAnswers({
        {{{"RAVLINHOME=/a"}, {"pathRavlinHome", "set:RAVLINHOME=/b", "pathRavlinHome", "pathRavlinExp"}},
         {"/a", "/a", "/a/exp"}},
        {{{}, {"pathRavlinConf", "set:RAVLINEXP=/late", "pathRavlinExp"}}, {"/undefined/conf", "/undefined/exp"}},
        {{{}, {"pathSystemPdfViewer", "set:PATH=/bin", "pathSystemPdfViewer"}}, {"(null)", "(null)"}},
    });
}

TEST(Library, KeepsValuesStoredBeforeTheFirstQuery)
{
    expectAnswers({
        {{{noUser()}, {"store:expStanPath=C:\\s", "store:tmpDir=/scratch", "store:dotPath=/d", "store:curDirPath=c/n",
                       "store:User::home=\\h", "pathRavlinExpStan", "pathSystemTmpDir", "pathRavlinDot",
                       "pathRavlinCurDir", "pathSystemUserHome", "pathRavlinExpStan"}},
         {"C:\\s", "/scratch", "/d", "c/n", "/h", "C:\\s"}},
        // The tree paths are computed together: the stored experiment path is
        // replaced, the stored standard-experiment path kept and normalized.
        {{{}, {"store:expPath=/mine", "store:expStanPath=C:\\s", "pathRavlinConf", "pathRavlinExp",
               "pathRavlinExpStan"}},
         {"/undefined/conf", "/undefined/exp", "C:/s"}},
    });
}

TEST(Library, AddOnProducts)
{
    const std::string fixtures = FIXTURES;
    const Lines fennet = {"fennetProg", "fennetExe", "fennetWin"};
    const Lines defaults = {"/usr/prog/zoltra-fennet", "zoltra", "ZoltraMain"};
    const std::string bin = freshDirectory();
    makeFile(bin + "/brisko", 0755);
    expectAnswers({
        {{{}, {"analysisRegistry"}}, {"/usr/Halvik/Software.ini"}},
        {{{"HALVIK_REGISTRY_FILE=/nonexistent\\r.ini"}, {"fennetWin", "fennetProg", "analysisRegistry"}},
         {"ZoltraMain", "/usr/prog/zoltra-fennet", "/nonexistent\\r.ini"}},
        {{{"HALVIK_REGISTRY_FILE=" + fixtures + "/fennet.ini"}, fennet}, {"C:/zf/bin", "", "ZoltraMain"}},
        {{{"HALVIK_REGISTRY_FILE=" + fixtures + "/fennet-blank.ini"}, fennet}, {"", "a\\b", "Main Window"}},
        {{{"HALVIK_REGISTRY_FILE=" + fixtures + "/fennet.ini"},
          {"fennetExe", "set:HALVIK_REGISTRY_FILE=/other", "analysisRegistry"}},
         {"", fixtures + "/fennet.ini"}},
        // A program directory stored before the first query stops the reading.
        {{{"HALVIK_REGISTRY_FILE=" + fixtures + "/fennet.ini"}, {"store:Fennet::prog=C:\\p", "fennetProg",
                                                                 "fennetExe", "fennetWin"}},
         {"C:/p", "", ""}},
        {{{"HALVIK_REGISTRY_FILE=" + fixtures + "/fennet-blank.ini"}, {"store:Fennet::exe=mine", "fennetExe"}},
         {"a\\b"}},
        {{{"PATH=/nonexistent:" + bin}, {"briskoPath", "quambyPath"}}, {bin + "/brisko", "(null)"}},
        {{{"PATH=/nonexistent"}, {"briskoPath", "set:PATH=" + bin, "briskoPath", "store:Quamby::path=/q", "quambyPath"}},
         {"(null)", "(null)", "/q"}},
    });
}

// Threads that make their first queries at the same moment get the answers
// of a single-threaded process, and every value is computed once: the
// process allocates exactly as much as it does with one thread. Threads that
// explain answers while others compute them get the same explanations; two
// that make the same explanation's text at once may both allocate it.
TEST(Library, AnswersEveryThreadAlike)
{
    const std::string bin = freshDirectory();
    makeFile(bin + "/brisko", 0755);
    makeFile(bin + "/acroread", 0755);
    const Lines vars = {"RAVLINHOME=C:\\r", "RAVLINEXP=/e", "TAZLO_HOME=/t", "LUMEVA=/l", "PATH=" + bin,
                        "HALVIK_REGISTRY_FILE=" FIXTURES "/fennet.ini"};
    Lines stored = {"store:tmpDir=/scratch", "store:dotPath=/d", "store:Fennet::exe=mine", "store:Quamby::path=/q"};
    stored.insert(stored.end(), allQueries.begin(), allQueries.end());
    Lines explained = {"originCurDir", "originFennetProg"};
    explained.insert(explained.end(), allQueries.begin(), allQueries.end());
    const Probe scenarios[] = {{vars, allQueries}, {vars, allQueries, 1}, {{noUser()}, allQueries}, {vars, stored},
                               {vars, explained}};
    for (const Probe& alone : scenarios) {
        const Outcome expected = probe(alone);
        Probe together = alone;
        together.items.insert(together.items.begin(), {"-t", "16"});
        for (int round = 0; round < 5; ++round) {
            const Outcome outcome = probe(together);
            EXPECT_EQ(lines(outcome.out), lines(expected.out)) << "kind " << alone.kind << " " << alone.vars[0];
            if (alone.items != explained) {
                EXPECT_EQ(outcome.err, expected.err) << "kind " << alone.kind << " " << alone.vars[0];
            }
        }
    }
}

// A first query waits only for what its answer is computed from: while one
// thread waits for a leased registry file, others answer the temporary and
// the experiment directories at once.
TEST(Library, AnswersWhileAnotherWaits)
{
    const std::string registry = freshDirectory() + "/registry.ini";
    std::ofstream(registry) << "[Zoltra-Fennet]\nProgPath=/zf\n";
    pid_t holder = -1;
    int status = -1;
    if (!holdLease(registry, holder, 3)) {
        if (holder > 0)
            waitpid(holder, &status, 0);
        GTEST_SKIP() << "no lease can be taken on " << registry;
    }
    const Outcome outcome = probe({{"RAVLINHOME=/r", "HALVIK_REGISTRY_FILE=" + registry},
                                   {"-w", "fennetProg", "pathSystemTmpDir", "pathRavlinExp"}});
    EXPECT_EQ(lines(outcome.out), (Lines{"/tmp", "/r/exp", "(busy)", "/zf"})) << outcome.err;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_EQ(status, 0) << "the lease holder was not told to give it up";
}

// Each row: an environment (with the password entry, host name and PATH),
// registry contents when the row has a registry, what the probe does first,
// an answer, and the facts its explanation must hold, as whole lines, in
// this order.
TEST(Library, ExplainsWhereEachAnswerCameFrom)
{
    const std::string uid = std::to_string(getuid());
    const std::string bin = freshDirectory();
    mkdir((bin + "/acroread").c_str(), 0755);
    makeFile(bin + "/evince", 0644);
    makeFile(bin + "/xpdf", 0755);
    const std::string registry = freshDirectory() + "/registry.ini";
    const std::string tooLong(5000, 'p');
    const struct {
        Lines vars;
        std::string contents;  // of the registry file, when not empty
        Lines items;
        Lines facts;
        int kind = 0;
    } cases[] = {
        {{"RAVLINHOME=/opt/r"}, "", {"origin:exp"},
         {"RAVLINEXP not set", "below the home: /opt/r + exp", "  RAVLINHOME=/opt/r"}},
        {{}, "", {"origin:home"}, {"RAVLINHOME not set", "fallback /undefined: the installation is not located"}},
        {{"RAVLINCONF=D:\\cfg"}, "", {"origin:conf"}, {"RAVLINCONF=D:\\cfg", "backslashes turned into forward slashes"}},
        {{"RAVLINEXP=/e", "PLENKO_STAN=std"}, "", {"origin:exp_stan"},
         {"PLENKO_STAN=std", "below the experiment directory: /e + std", "  RAVLINEXP=/e"}},
        {{"TAZLO_EXP=/t"}, "", {"origin:exp_stan"},
         {"TAZLO_STAN not set", "the same as the experiment directory: /t", "  TAZLO_EXP=/t"}, 1},
        {{"RAVLINPROG=/p"}, "", {"origin:docu", "origin:cur_dir"},
         {"below the program directory: /p + docu", "  RAVLINPROG=/p", "named after the login: nmr",
          "  uid " + uid + ": login nmr, home /home/nmr", "below the program directory: /p + curdir/nmr"}},
        {{}, "", {"origin:dot"},
         {"below the user's home: /home/nmr + .morvel-alpha", "  uid " + uid + ": login nmr, home /home/nmr",
          "host name alpha.beta, kept alpha"}},
        {{"NSS_WRAPPER_HOSTNAME=a\\b", userWithHome("/home/n\\m")}, "", {"origin:dot"},
         {"below the user's home: /home/n/m + .morvel-a/b", "  uid " + uid + ": login nmr, home /home/n\\m",
          "  backslashes turned into forward slashes", "host name a\\b, kept a/b"}},
        {{noUser()}, "", {"origin:user_name", "origin:cur_dir"},
         {"uid " + uid + ": no password entry", "uid " + uid + ": no password entry"}},
        {{"PATH=/nonexistent::" + bin + ":", "RAVLINPROG=/p"}, "", {"origin:pdf_viewer"},
         {"PATH=/nonexistent::" + bin + ":", "empty PATH elements skipped: the current directory is not searched",
          "/nonexistent/acroread: missing", bin + "/acroread: a directory", "/p/bin/acroread: missing",
          bin + "/evince: not executable for this user", bin + "/xpdf: found"}},
        {{"PATH=/nonexistent"}, "", {"origin:brisko", "origin:lumeva"},
         {"/nonexistent/brisko: missing", "none found (looked for brisko)", "LUMEVA not set"}},
        {{}, "[Zoltra-Fennet]\r\nWinName=W\r\nProgPath=C:\\zf \r\n", {"origin:fennet_prog", "origin:fennet_exe"},
         {"registry file " + registry + ": read", "  HALVIK_REGISTRY_FILE=" + registry,
          registry + ":3: ProgPath in [Zoltra-Fennet]", "backslashes turned into forward slashes",
          "ProgName in [Zoltra-Fennet] not found: default zoltra"}},
        {{"HALVIK_REGISTRY_FILE=/nonexistent/r.ini"}, "", {"origin:fennet_win"},
         {"registry file /nonexistent/r.ini: missing", "WinName in [Zoltra-Fennet] not found: default ZoltraMain"}},
        {{}, "", {"store:Fennet::prog=C:\\p", "origin:fennet_prog", "origin:fennet_exe"},
         {"stored by the program before the first query", "backslashes turned into forward slashes",
          "ProgName in [Zoltra-Fennet] not read: the program stored the Fennet program directory"}},
        {{noUser()}, "", {"store:User::home=/h", "origin:user_profile"}, {"uid " + uid + ": no password entry"}},
        {{"PATH=/" + tooLong}, "", {"origin:pdf_viewer"},
         {"/" + tooLong + "/acroread: too long", "none found (looked for acroread, evince and xpdf)"}},
        {{}, "", {"store:tmpDir=/scratch", "origin:tmp", "origin:quamby", "origin:registry_file", "origin:nothing"},
         {"stored by the program before the first query", "no source: only the program may store it",
          "HALVIK_REGISTRY_FILE not set", "default: /usr/Halvik/Software.ini", "unknown answer"}},
    };
    for (const auto& c : cases) {
        Lines vars = c.vars;
        if (!c.contents.empty()) {
            std::ofstream(registry, std::ios::binary) << c.contents;
            vars.push_back("HALVIK_REGISTRY_FILE=" + registry);
        }
        const Lines explained = lines(probe({vars, c.items, c.kind}).out);
        auto at = explained.begin();
        for (const std::string& fact : c.facts) {
            at = std::find(at, explained.end(), fact);
            EXPECT_NE(at, explained.end()) << c.items.back() << ": no line " << fact << " in order";
        }
    }
}

// Where /proc is hidden, the reader waits at most 46 s for a lease to be
// broken; a lease renewed at every break for 50 s outlasts the wait of the
// first setting read, and the later ones find the file free.
TEST(Library, ExplainsALeaseThatOutlivesTheWait)
{
    const std::string registry = freshDirectory() + "/registry.ini";
    std::ofstream(registry) << "[Zoltra-Fennet]\nProgPath=/zf\n";
    pid_t holder = -1;
    int status = -1;
    if (!holdLease(registry, holder, 0, 50)) {
        if (holder > 0)
            waitpid(holder, &status, 0);
        GTEST_SKIP() << "no lease can be taken on " << registry;
    }
    Child child{{"/usr/bin/unshare", "--mount"}, {"HALVIK_REGISTRY_FILE=" + registry}};
    if (geteuid() != 0)
        child.argv.insert(child.argv.end(), {"--user", "--map-root-user"});
    child.argv.insert(child.argv.end(), {"/bin/sh", "-c", "mount -t tmpfs none /proc || exit 77; exec \"$0\" \"$@\"",
                                         PROBE, "origin:fennet_prog"});
    const Outcome outcome = run(child);
    kill(holder, SIGKILL);
    waitpid(holder, &status, 0);
    if (outcome.status == 77)
        GTEST_SKIP() << "/proc cannot be hidden here";
    EXPECT_EQ(lines(outcome.out), (Lines{"registry file " + registry + ": still leased when the wait ran out",
                                         "  HALVIK_REGISTRY_FILE=" + registry,
                                         "ProgPath in [Zoltra-Fennet] not found: default /usr/prog/zoltra-fennet"}))
        << outcome.err;
}

struct Viewers {
    std::string pathDir;
    std::string progDir;
};

// A PATH directory and a program directory holding the named executables.
Viewers viewers(const Lines& onPath, const Lines& inProgBin)
{
    Viewers v{freshDirectory(), freshDirectory()};
    mkdir((v.progDir + "/bin").c_str(), 0755);
    for (const std::string& name : onPath)
        makeFile(v.pathDir + "/" + name, 0755);
    for (const std::string& name : inProgBin)
        makeFile(v.progDir + "/bin/" + name, 0755);
    return v;
}

TEST(Library, FindsAPdfViewer)
{
    const struct {
        Lines onPath, inProgBin;
        std::string expected;  // below pathDir or progDir, as named by its prefix
    } cases[] = {
        {{"acroread", "evince", "xpdf"}, {"acroread", "xpdf"}, "PATH/acroread"},
        {{"evince", "xpdf"}, {"acroread"}, "PROG/bin/acroread"},
        {{"xpdf", "evince"}, {"xpdf"}, "PATH/evince"},
        {{"xpdf"}, {"xpdf"}, "PATH/xpdf"},
        {{}, {"xpdf", "evince"}, "PROG/bin/xpdf"},
        {{}, {"evince"}, "(null)"},
    };
    for (const auto& c : cases) {
        Viewers v = viewers(c.onPath, c.inProgBin);
        std::string expected = replaced(replaced(c.expected, "PATH", v.pathDir), "PROG", v.progDir);
        Outcome outcome = probe({{"PATH=/nonexistent::" + v.pathDir + ":", "RAVLINPROG=" + v.progDir},
                                 {"pathSystemPdfViewer"}});
        EXPECT_EQ(lines(outcome.out), Lines{expected});
    }
}

// Every C-linkage function answers its fallback when its group cannot be
// created: the first allocation of a fresh process is the group object.
TEST(Library, AnswersFallbacksWhenGroupsCannotBeCreated)
{
    const std::vector<std::pair<std::string, std::string>> fallbacks = {
        {"pathRavlinHome", "/undefined"}, {"pathRavlinProg", "/undefined/prog"},
        {"pathRavlinExp", "/undefined/exp"}, {"pathRavlinExpStan", "/undefined/exp/stan"},
        {"pathRavlinConf", "/undefined/conf"}, {"pathRavlinPlot", "/undefined/plot"},
        {"pathRavlinLayout", "/undefined/plot/layouts"}, {"pathRavlinPrint", "/undefined/print"},
        {"pathRavlinDot", ".morvel"}, {"pathRavlinCurDir", ""},
        {"pathRavlinAppDefaults", "/undefined/prog/app-defaults"}, {"pathRavlinHints", "/undefined/prog/hints"},
        {"pathRavlinDisklessInst", "/usr/diskless"}, {"pathRavlinDisklessRoot", "/usr/diskless/clients/spect/root"},
        {"pathRavlinDisklessLock", "/usr/diskless/clients/spect/lock"}, {"pathRavlinPlatform", "0"},
        {"pathSystemPdfViewer", "(null)"}, {"pathSystemLumeva", ""}, {"pathSystemUserHome", ""},
        {"pathSystemTmpDir", "/tmp"}, {"pathSystemPlatform", "0"},
    };
    for (const auto& [query, fallback] : fallbacks) {
        Outcome outcome = probe({{"RAVLINHOME=/opt/r", "LUMEVA=/l", "PATH=/bin"}, {query, query}, 0, 1});
        ASSERT_EQ(lines(outcome.out).size(), 2u) << query;
        EXPECT_EQ(lines(outcome.out)[0], fallback) << query;
    }
}

// Failing each allocation in turn, every answer is the normal one (listed
// first, and answered once no allocation fails) or one of the fallbacks that
// allocation failure leads to. Methods without a C-linkage twin let out of
// memory through.
TEST(Library, AnswersFallbacksWhenStringsCannotBeAllocated)
{
    const std::string bin = freshDirectory();
    makeFile(bin + "/brisko", 0755);
    makeFile(bin + "/acroread", 0755);
    const Lines vars = {"RAVLINHOME=/h", "RAVLINEXP=/e", "LUMEVA=/l", "PATH=" + bin,
                        "HALVIK_REGISTRY_FILE=" FIXTURES "/fennet.ini"};
    const std::vector<std::pair<std::string, Lines>> queries = {
        {"pathRavlinHome", {"/h", "/undefined"}},
        {"pathRavlinProg", {"/h/prog", "/undefined/prog"}},
        {"pathRavlinExp", {"/e", "/h/exp", "/undefined/exp"}},
        {"pathRavlinExpStan", {"/e/stan", "/h/exp/stan", "/undefined/exp/stan"}},
        {"expStanDir", {"/e/stan", "/h/exp/stan", "/undefined/exp/stan", "(threw)"}},
        {"pathRavlinConf", {"/h/conf", "/undefined/conf"}},
        {"pathRavlinPlot", {"/h/plot", "/undefined/plot"}},
        {"pathRavlinLayout", {"/h/plot/layouts", "/undefined/plot/layouts"}},
        {"pathRavlinPrint", {"/h/print", "/undefined/print"}},
        {"docuDir", {"/h/prog/docu", "/undefined/prog/docu", "(threw)"}},
        {"pathRavlinAppDefaults", {"/h/prog/app-defaults", "/undefined/prog/app-defaults"}},
        {"pathRavlinHints", {"/h/prog/hints", "/undefined/prog/hints"}},
        {"pathRavlinDot", {"/home/nmr/.morvel-alpha", "/.morvel-alpha", ".morvel"}},
        {"pathRavlinCurDir", {"curdir/nmr", ""}},
        {"pathRavlinDisklessInst", {"/usr/diskless"}},
        {"pathRavlinDisklessRoot", {"/usr/diskless/clients/spect/root"}},
        {"pathRavlinDisklessLock", {"/usr/diskless/clients/spect/lock"}},
        {"pathRavlinPlatform", {"0"}},
        {"pathSystemPdfViewer", {bin + "/acroread", "(null)"}},
        {"pathSystemLumeva", {"/l", "(null)", ""}},
        {"pathSystemUserHome", {"/home/nmr", ""}},
        {"pathSystemTmpDir", {"/tmp"}},
        {"pathSystemPlatform", {"0"}},
        {"userName", {"nmr", "", "(threw)"}},
        {"userProfile", {"/home/nmr", "", "(threw)"}},
        // A registry name that cannot be copied gives the default registry.
        {"analysisRegistry", {FIXTURES "/fennet.ini", "/usr/Halvik/Software.ini", "(threw)"}},
        {"fennetProg", {"C:/zf/bin", "", "/usr/prog/zoltra-fennet", "(threw)"}},
        {"fennetExe", {"", "zoltra", "(threw)"}},
        {"fennetWin", {"ZoltraMain", "", "(threw)"}},
        {"briskoPath", {bin + "/brisko", "(null)", "(threw)"}},
        {"quambyPath", {"(null)", "(threw)"}},
    };
    int failurePoints = 0;
    for (const auto& [query, acceptable] : queries) {
        for (long failing = 1;; ++failing, ++failurePoints) {
            Outcome outcome = probe({vars, {query}, 0, failing});
            ASSERT_EQ(lines(outcome.out).size(), 1u) << query;
            const std::string answer = lines(outcome.out)[0];
            EXPECT_TRUE(std::find(acceptable.begin(), acceptable.end(), answer) != acceptable.end())
                << query << " failing allocation " << failing << ": " << answer;
            if (outcome.err.find("allocations " + std::to_string(failing - 1) + "\n") != std::string::npos) {
                EXPECT_EQ(answer, acceptable.front()) << query;
                break;
            }
            ASSERT_LT(failing, 20) << query;
        }
    }
    std::printf("%d allocation failure points\n", failurePoints);
}

}
