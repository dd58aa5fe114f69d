// The string helpers and the executable searches.

#include "Child.h"
#include "Search.h"
#include "Strings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace ravlinpath;

namespace {

// Takes over a string the library allocated with new[].
std::string answer(char* found)
{
    std::unique_ptr<char[]> owned(found);
    return found ? found : "(null)";
}

TEST(Strings, NormalizesBackslashesOnly)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"C:\\soft\\r", "C:/soft/r"}, {"\\\\server\\\\x", "//server//x"}, {"/a//b/", "/a//b/"},
    };
    for (auto [text, expected] : cases) {
        normalizeSlashes(text.data());
        EXPECT_EQ(text, expected);
    }
    normalizeSlashes(nullptr);
}

TEST(Strings, JoinsOnlyWhatFits)
{
    char buffer[8];
    EXPECT_TRUE(joinInto(buffer, sizeof buffer, {"abc", "/", "def"}));
    EXPECT_STREQ(buffer, "abc/def");
    EXPECT_FALSE(joinInto(buffer, sizeof buffer, {"abc", "/", "defg"}));
    EXPECT_FALSE(joinInto(buffer, 0, {}));
    EXPECT_EQ(answer(joinStrings({"curdir/", "nmr"})), "curdir/nmr");
}

// PATH elements, relative to the directory holding the tools "bin" (executable
// x, and a directory d), "plain" (x not executable), "dir" (a directory x),
// "link" (x a symbolic link to bin/x) and "dirlink" (x a link to dir/x).
TEST(Search, FindsTheFirstExecutableOnPath)
{
    const std::string top = freshDirectory();
    for (const char* dir : {"/bin", "/bin/d", "/plain", "/dir", "/dir/x", "/link", "/dirlink"})
        mkdir((top + dir).c_str(), 0755);
    makeFile(top + "/bin/x", 0755);
    makeFile(top + "/plain/x", 0644);
    ASSERT_EQ(symlink("../bin/x", (top + "/link/x").c_str()), 0);
    ASSERT_EQ(symlink("../dir/x", (top + "/dirlink/x").c_str()), 0);
    const std::string tooLong = "/" + std::string(4096, 'l');
    const std::string manyEmpty(10000, ':');
    const std::pair<std::string, std::string> cases[] = {
        {"TOP/bin", "TOP/bin/x"},
        {"TOP/bin/", "TOP/bin//x"},
        {"::TOP/plain::TOP/bin:", "TOP/bin/x"},
        {"TOP/dir:TOP/dirlink:TOP/bin", "TOP/bin/x"},
        {"TOP/link:TOP/bin", "TOP/link/x"},
        {tooLong + ":TOP/bin", "TOP/bin/x"},
        {manyEmpty + "/nonexistent" + manyEmpty + "TOP/bin", "TOP/bin/x"},
        {"", "(null)"},
        {":::", "(null)"},
        {"TOP/plain", "(null)"},
    };
    for (const auto& [path, expected] : cases) {
        setenv("PATH", replaced(path, "TOP", top).c_str(), 1);
        EXPECT_EQ(answer(findOnPath("x")), replaced(expected, "TOP", top)) << path.substr(0, 200);
    }
    unsetenv("PATH");
    EXPECT_EQ(answer(findOnPath("x")), "(null)");
    EXPECT_EQ(answer(findInProgBin(top.c_str(), "x")), top + "/bin/x");
    EXPECT_EQ(answer(findInProgBin(top.c_str(), "y")), "(null)");
    EXPECT_EQ(answer(findInProgBin(top.c_str(), "d")), "(null)");
    EXPECT_EQ(answer(findInProgBin(tooLong.c_str(), "x")), "(null)");
}

}
