#include "Scratch.h"
#include <ravlinpath/IniFile.h>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Lookup {
    std::string file, section, key;
    int answer;
    std::string out;
};

// Looks up with the default "DEF" into a zero-filled buffer of size + 1 bytes.
std::pair<int, std::string> lookUp(const std::string& file, const std::string& section, const std::string& key,
                                   int size = 4096)
{
    std::string out(size + 1, '\0');
    int answer = readProfileString(section.c_str(), key.c_str(), "DEF", out.data(), size, file.c_str());
    return {answer, out.c_str()};
}

void expectLookups(const std::vector<Lookup>& lookups)
{
    for (const Lookup& l : lookups)
        EXPECT_EQ(lookUp(l.file, l.section, l.key), std::make_pair(l.answer, l.out))
            << l.file.substr(l.file.rfind('/') + 1) << " [" << l.section.substr(0, 40) << "] " << l.key;
}

std::string writeFile(const std::string& content)
{
    std::string path = freshDirectory() + "/registry.ini";
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

// path, grown to size bytes by a hole at its end.
std::string grown(const std::string& path, off_t size)
{
    EXPECT_EQ(truncate(path.c_str(), size), 0) << path;
    return path;
}

const std::string fixtures = FIXTURES;

TEST(IniFile, ReadsTheFormat)
{
    const std::string r = fixtures + "/registry.ini";
    const std::string f = "Zoltra-Fennet";
    expectLookups({
        {r, f, "ProgPath", 1, "/opt/zf"},
        {r, f, "Padded", 0, "DEF"},
        {r, f, "Padded ", 1, "/opt/zf"},
        {r, f, "Blank", 0, ""},
        {r, f, "Empty", 0, "DEF"},
        {r, f, "NoEquals", 0, "DEF"},
        {r, f, "Split", 1, "/a"},
        {r, f, "Double", 1, "/a"},
        {r, f, "Semi", 1, "/opt/zf ; note"},
        {r, f, "Tabs", 1, "/x"},
        {r, f, "Inner", 1, "a  b"},
        {r, f, "progpath", 0, "DEF"},
        {r, "zoltra-fennet", "ProgPath", 0, "DEF"},
        {r, f, "AfterIndentedBracket", 1, "still in section"},
        {r, f, "Only", 0, "DEF"},
        {r, f, "SecondHeader", 0, "DEF"},
        {r, "Later", "Only", 1, "later"},
        {r, "Indented", "Key", 0, "DEF"},
        {r, "Tabbed", "Key", 0, "DEF"},
        {r, "with space", "Key", 0, "DEF"},
        {r, "semi;colon", "Key", 0, "DEF"},
        {r, "Missing", "Key", 0, "DEF"},
        {fixtures + "/crlf.ini", "S", "Key", 1, "v"},
        {fixtures + "/crlf.ini", "S", "Cr", 1, "a"},
        {fixtures + "/crlf.ini", "S", "Last", 1, "end"},
        {fixtures + "/binary.ini", "S", "Nul", 1, "a"},
        {fixtures + "/binary.ini", "S", "Key", 0, "DEF"},
        {fixtures + "/binary.ini", "S", "\xff\xfe", 1, "bin"},
        {fixtures + "/binary.ini", "S", "After", 1, "ok"},
    });
}

TEST(IniFile, HandlesLongLinesAndLargeFiles)
{
    const std::string longSection(200, 's');
    const std::string cutSection = longSection.substr(0, 126);
    const std::string longValue(1 << 20, 'v');
    expectLookups({
        {writeFile("[Other]\n" + std::string(1023, 'x') + "[S]\nKey=v\n"), "S", "Key", 0, "DEF"},
        {writeFile("[S]\n" + std::string(5000, 'y') + "[\nKey=v\n"), "S", "Key", 1, "v"},
        {writeFile("[S]\n" + std::string(3000, 'y') + "Key=w\nKey=v\n"), "S", "Key", 1, "v"},
        {writeFile("[S]\nKey=" + std::string(2000, ' ') + "v" + std::string(2000, ' ') + "=x\n"), "S", "Key", 1, "v"},
        {writeFile("[" + cutSection + "]\nKey=w\n[" + longSection + "]\nKey=v\n"), longSection, "Key", 1, "v"},
        {writeFile("[S]\nLong=" + longValue + "\n"), "S", "Long", 1, longValue.substr(0, 4096)},
        {writeFile(""), "S", "Key", 0, "DEF"},
        {writeFile("[S]"), "S", "Key", 0, "DEF"},
        {grown(writeFile("[S]\nKey=v\n"), off_t(3) << 30), "S", "Key", 1, "v"},
    });
}

TEST(IniFile, CutsTheValueAtSize)
{
    const std::string file = writeFile("[S]\nKey=/opt/zf\nSpaced=ab   cd\n");
    EXPECT_EQ(lookUp(file, "S", "Key", 3), std::make_pair(1, std::string("/op")));
    EXPECT_EQ(lookUp(file, "S", "Spaced", 4), std::make_pair(1, std::string("ab")));
    EXPECT_EQ(lookUp(file, "S", "Key", 1), std::make_pair(1, std::string("/")));
}

// Anything but a regular file counts as missing, at once.
TEST(IniFile, AnswersTheDefaultForMissingFiles)
{
    const std::string fifo = freshDirectory() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& file : {std::string("/nonexistent/registry.ini"), fifo, std::string("/dev/zero"),
                                    fixtures, std::string("")})
        EXPECT_EQ(lookUp(file, "S", "Key"), std::make_pair(0, std::string("DEF"))) << file;
}

// A child process that takes a write lease on path and gives it up when the
// kernel signals that another process opens the file; it then ends with
// status 0. Answers whether the lease is held.
bool holdLease(const std::string& path, pid_t& holder)
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
        const timespec patience{30, 0};
        _exit(sigtimedwait(&breaking, nullptr, &patience) == SIGIO && fcntl(fd, F_SETLEASE, F_UNLCK) == 0 ? 0 : 2);
    }
    close(ready[1]);
    char byte;
    bool held = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    return held;
}

// A lease only delays the open of a regular file until its holder gives it up.
TEST(IniFile, ReadsAFileUnderALease)
{
    const std::string file = writeFile("[S]\nKey=v\n");
    pid_t holder = -1;
    const bool held = holdLease(file, holder);
    int status = -1;
    if (!held) {
        if (holder > 0)
            waitpid(holder, &status, 0);
        GTEST_SKIP() << "no lease can be taken on " << file;
    }
    EXPECT_EQ(lookUp(file, "S", "Key"), std::make_pair(1, std::string("v")));
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_EQ(status, 0) << "the lease holder was not told to give it up";
}

TEST(IniFile, ChecksItsArguments)
{
    const std::string file = fixtures + "/registry.ini";
    char out[8] = "unused";
    EXPECT_EQ(readProfileString("Later", "Only", "DEF", out, 0, file.c_str()), 0);
    EXPECT_STREQ(out, "unused");
    EXPECT_EQ(readProfileString("Later", "Only", "DEF", out, -1, file.c_str()), 0);
    EXPECT_STREQ(out, "unused");
    for (const char* nulled : {"section", "key", "file"}) {
        char filled[8] = "unused";
        auto pick = [&](const char* name, const char* value) { return std::string(nulled) == name ? nullptr : value; };
        EXPECT_EQ(readProfileString(pick("section", "Later"), pick("key", "Only"), "DEF", filled, 7,
                                    pick("file", file.c_str())), 0);
        EXPECT_STREQ(filled, "DEF") << nulled;
    }
    EXPECT_EQ(readProfileString("Later", "Only", nullptr, out, 7, file.c_str()), 1);
    EXPECT_STREQ(out, "later");
    char shared[8] = "same";
    EXPECT_EQ(readProfileString("Later", "Missing", shared, shared, 7, file.c_str()), 0);
    EXPECT_STREQ(shared, "same");
    EXPECT_EQ(readProfileString("Later", "Only", "DEF", nullptr, 7, file.c_str()), 0);
}

}
