// The registry reader: the file format, the files it refuses to open, and
// leases.

#include "Scratch.h"
#include <ravlinpath/IniFile.h>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
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

// Anything but a regular file counts as missing, at once, and is never
// opened: opening a device may act on it.
TEST(IniFile, AnswersTheDefaultForMissingFiles)
{
    const std::string fifo = freshDirectory() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    int watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watcher, 0);
    for (const std::string& file : {std::string("/nonexistent/registry.ini"), fifo, std::string("/dev/zero"),
                                    freshDirectory(), std::string("")}) {
        const bool watched = inotify_add_watch(watcher, file.c_str(), IN_OPEN) >= 0;
        EXPECT_EQ(lookUp(file, "S", "Key"), std::make_pair(0, std::string("DEF"))) << file;
        char events[4096];
        EXPECT_FALSE(watched && read(watcher, events, sizeof events) > 0) << file << " was opened";
    }
    close(watcher);
}

constexpr long noNamespace = -1;
constexpr long childFailed = -2;

// Runs lookUp(file, "S", "Key") in a child process, with /proc hidden under an
// empty file system when asked, once or, given seconds, again and again for
// that long: the number of answers other than v, noNamespace when no mount
// namespace could be made for it, or childFailed when it ended otherwise.
// meanwhile runs once the child is forked, so that the threads it starts
// hold no lock the child would inherit; first runs in the child before it
// looks up.
long lookUpInChild(const std::string& file, bool hideProc, int seconds = 0,
                   const std::function<void()>& meanwhile = [] {}, const std::function<void()>& first = [] {})
{
    int counted[2];
    if (pipe(counted) != 0)
        return childFailed;
    pid_t child = fork();
    if (child == 0) {
        if (hideProc
            && ((unshare(CLONE_NEWNS) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
                || mount(nullptr, "/proc", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || mount("none", "/proc", "tmpfs", 0, nullptr) != 0))
            _exit(77);
        first();
        long others = 0;
        const time_t end = time(nullptr) + seconds;
        do
            others += lookUp(file, "S", "Key") != std::make_pair(1, std::string("v"));
        while (time(nullptr) < end);
        _exit(write(counted[1], &others, sizeof others) == sizeof others ? 0 : 1);
    }
    close(counted[1]);
    meanwhile();
    long others = childFailed;
    if (read(counted[0], &others, sizeof others) != sizeof others)
        others = childFailed;
    close(counted[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return childFailed;
    return WIFEXITED(status) && WEXITSTATUS(status) == 77 ? noNamespace : others;
}

// A lease only delays the open of a regular file until its holder gives it
// up, whether or not /proc is mounted.
TEST(IniFile, ReadsAFileUnderALease)
{
    for (bool hideProc : {false, true}) {
        const std::string file = writeFile("[S]\nKey=v\n");
        pid_t holder = -1;
        int status = -1;
        if (!holdLease(file, holder)) {
            if (holder > 0)
                waitpid(holder, &status, 0);
            GTEST_SKIP() << "no lease can be taken on " << file;
        }
        const long others = lookUpInChild(file, hideProc);
        if (others == noNamespace)
            kill(holder, SIGKILL);
        ASSERT_EQ(waitpid(holder, &status, 0), holder);
        if (others == noNamespace)
            GTEST_SKIP() << "/proc cannot be hidden here";
        EXPECT_EQ(others, 0) << (hideProc ? "without /proc" : "with /proc");
        EXPECT_EQ(status, 0) << "the lease holder was not told to give it up";
    }
}

// What a process that may write dir does to the registry's name there, turn
// after turn, while the reader looks it up; the name starts as a link to
// real.ini. False when the turn failed.
bool flipLink(const std::string& dir, bool turn)
{
    return symlink(turn ? "fifo" : "real.ini", (dir + "/next").c_str()) == 0
           && rename((dir + "/next").c_str(), (dir + "/registry.ini").c_str()) == 0;
}

bool renameOver(const std::string& dir, bool)
{
    std::ofstream(dir + "/next") << "[S]\nKey=v\n";
    return rename((dir + "/next").c_str(), (dir + "/registry.ini").c_str()) == 0;
}

// Where /proc is hidden, the reader opens by name: while another process
// swaps what the name stands for, it still opens nothing but a regular file,
// and reads a file renamed over the registry instead of answering the
// default. A writer waiting to open the FIFO is let through by every open of
// it for reading, and counts them.
TEST(IniFile, OpensOnlyARegularFileWhileItsNameIsSwapped)
{
    const struct {
        const char* swap;
        bool (*turn)(const std::string& dir, bool turn);
        bool defaultsAllowed;  // when the name stands for the FIFO at times
    } swaps[] = {
        {"a link flipping between a regular file and a FIFO", flipLink, true},
        {"a new file renamed over the registry", renameOver, false},
    };
    for (const auto& s : swaps) {
        const std::string dir = freshDirectory();
        const std::string fifo = dir + "/fifo";
        std::ofstream(dir + "/real.ini") << "[S]\nKey=v\n";
        ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
        ASSERT_TRUE(flipLink(dir, false));
        std::atomic<bool> stop = false;
        std::atomic<long> fifoOpens = 0;
        bool swapping = true;
        std::thread writer, swapper;
        const long others = lookUpInChild(dir + "/registry.ini", true, 2, [&] {
            writer = std::thread([&] {
                while (!stop) {
                    int fd = open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
                    if (!stop)
                        ++fifoOpens;
                    close(fd);
                }
            });
            swapper = std::thread([&] {
                for (bool turn = true; swapping && !stop; turn = !turn)
                    swapping = s.turn(dir, turn);
            });
        });
        stop = true;
        const int release = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        writer.join();
        swapper.join();
        close(release);
        if (others == noNamespace)
            GTEST_SKIP() << "/proc cannot be hidden here";
        EXPECT_TRUE(swapping) << s.swap << ": a turn failed";
        EXPECT_EQ(fifoOpens, 0) << s.swap;
        EXPECT_TRUE(s.defaultsAllowed || others == 0) << s.swap << ": " << others << " defaults";
    }
}

// A relative name under a current directory that is gone cannot be resolved
// to a full one; where /proc is hidden, it is still read, as given.
TEST(IniFile, ReadsARelativeNameUnderAGoneDirectory)
{
    const std::string dir = freshDirectory();
    std::ofstream(dir + "/registry.ini") << "[S]\nKey=v\n";
    ASSERT_EQ(mkdir((dir + "/gone").c_str(), 0755), 0);
    const long others = lookUpInChild("../registry.ini", true, 0, [] {}, [&] {
        if (chdir((dir + "/gone").c_str()) != 0 || rmdir((dir + "/gone").c_str()) != 0)
            _exit(1);
    });
    if (others == noNamespace)
        GTEST_SKIP() << "/proc cannot be hidden here";
    EXPECT_EQ(others, 0);
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
