// The reader of sectioned key=value files, and the registry lookups that
// also tell where their value stood.

#include <ravlinpath/IniFile.h>

#include "Lookup.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iterator>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using ravlinpath::FileState;

// A NUL ends a line's text as a carriage return does: what follows it on the
// line is never looked at.
bool endsText(int c)
{
    return c == '\n' || c == '\r' || c == '\0' || c == EOF;
}

bool endsHeader(int c)
{
    return c == ';' || c == '=' || c == ' ' || endsText(c);
}

// A key ends at its "=", a value at the next one.
bool endsField(int c)
{
    return c == '=' || endsText(c);
}

bool isWhite(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Where /proc is not mounted, a leased file is opened by name again and again
// until its lease is broken: the kernel breaks it after lease-break-time,
// 45 seconds unless the administrator changed it, and the reader waits one
// second longer.
constexpr time_t leaseWaitSeconds = 46;

// A file renamed over the registry between its examination and its open is
// examined and opened again, at most this many times in one call.
constexpr int replacementsFollowed = 8;

constexpr long millisecond = 1000 * 1000;
constexpr long second = 1000 * millisecond;

timespec monotonicNow()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

// time + nanoseconds, for less than a second.
timespec after(timespec time, long nanoseconds)
{
    time.tv_nsec += nanoseconds;
    if (time.tv_nsec >= second) {
        time.tv_sec += 1;
        time.tv_nsec -= second;
    }
    return time;
}

bool earlier(const timespec& a, const timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// Sleeps for pause, but not past deadline, and doubles pause up to 100 ms for
// the next time; false, without sleeping, once the deadline has come.
bool pauseUntil(const timespec& deadline, long& pause)
{
    const timespec now = monotonicNow();
    if (!earlier(now, deadline))
        return false;
    const timespec wake = std::min(after(now, pause), deadline, earlier);
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr);
    pause = std::min(2 * pause, 100 * millisecond);
    return true;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

FileState examinationFailure(int error)
{
    return error == ENOENT || error == ENOTDIR ? FileState::missing : FileState::unreadable;
}

// What became of one examination and the open after it.
enum class Attempt { opened, refused, replaced, leased };

// Examines what path names now and, when it is a regular file, opens it at
// once. Both go to the name path resolves to, with no link left on it, and
// the open follows no link: a link that flips between the file and a FIFO is
// resolved once, and one put in the file's place counts as a replacement.
// The open can neither wait nor take a controlling terminal, whatever stands
// at the name by then, and what it reached is kept only when it is the file
// examined. An interrupted open is tried again as a leased one is. A name
// that cannot be resolved, relative to a current directory deeper than
// PATH_MAX or gone, is examined and opened as given, following its links.
Attempt openAsExamined(const char* path, int& fd, FileState& state)
{
    char resolved[PATH_MAX];
    const bool isResolved = realpath(path, resolved);
    const char* name = isResolved ? resolved : path;
    struct stat examined;
    if (stat(name, &examined) != 0) {
        state = examinationFailure(errno);
        return Attempt::refused;
    }
    if (!S_ISREG(examined.st_mode)) {
        state = FileState::notRegular;
        return Attempt::refused;
    }
    fd = open(name, O_RDONLY | (isResolved ? O_NOFOLLOW : 0) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP)
            return Attempt::replaced;
        if (errno == EWOULDBLOCK || errno == EINTR)
            return Attempt::leased;
        state = FileState::unreadable;
        return Attempt::refused;
    }
    struct stat opened;
    if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && sameFile(opened, examined))
        return Attempt::opened;
    close(fd);
    return Attempt::replaced;
}

// Opens path by name, each time as just examined. Each open that fails with
// EWOULDBLOCK starts the lease's break; the file is examined and opened again
// until the break ends or the wait runs out.
int openByName(const char* path, FileState& state)
{
    timespec deadline = monotonicNow();
    deadline.tv_sec += leaseWaitSeconds;
    long pause = millisecond;
    int replacements = 0;
    for (;;) {
        int fd = -1;
        switch (openAsExamined(path, fd, state)) {
        case Attempt::opened:
            return fd;
        case Attempt::refused:
            return -1;
        case Attempt::replaced:
            if (++replacements > replacementsFollowed) {
                state = FileState::unreadable;
                return -1;
            }
            continue;
        case Attempt::leased:
            if (!pauseUntil(deadline, pause)) {
                state = FileState::leased;
                return -1;
            }
        }
    }
}

// Opens for reading the regular file that handle, an O_PATH handle, names.
// The open goes through /proc/self/fd, so it reaches that same file even when
// the path has meanwhile been replaced by a FIFO or a device, and waits while
// another process holds a lease on the file. Where /proc is not mounted, the
// file is opened by name instead.
int openExamined(int handle, const char* path, FileState& state)
{
    char reopen[32] = "/proc/self/fd/";
    std::to_chars(reopen + std::strlen(reopen), std::end(reopen) - 1, handle);
    int fd;
    // A signal handler of the program's ends the wait early; wait again.
    do
        fd = open(reopen, O_RDONLY | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd >= 0 || errno != ENOENT ? fd : openByName(path, state);
}

// Opens only regular files: a FIFO, device or directory is examined through
// an O_PATH handle, which opens nothing, and counts as a missing file. state
// tells why nothing was opened.
FILE* openRegular(const char* path, FileState& state)
{
    int handle = open(path, O_PATH | O_CLOEXEC);
    if (handle < 0) {
        state = examinationFailure(errno);
        return nullptr;
    }
    struct stat examined;
    int fd = -1;
    state = FileState::notRegular;
    if (fstat(handle, &examined) == 0 && S_ISREG(examined.st_mode)) {
        state = FileState::unreadable;
        fd = openExamined(handle, path, state);
    }
    close(handle);
    FILE* file = fd >= 0 ? fdopen(fd, "r") : nullptr;
    if (!file && fd >= 0)
        close(fd);
    if (file)
        state = FileState::read;
    return file;
}

// Reads a file a byte at a time, so that lines of any length are handled
// whole and nothing is buffered beyond the caller's output.
class Reader {
public:
    explicit Reader(FILE* file) : file(file) {}
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader() { std::fclose(file); }

    // Moves to the first byte of the next line; false at the end of the file.
    bool nextLine()
    {
        while (byte != '\n' && byte != EOF)
            advance();
        ++lineNumber;
        return advance() != EOF;
    }

    // The line the reader stands on, counted from 1.
    long line() const { return lineNumber; }

    int current() const { return byte; }
    int advance() { return byte = getc_unlocked(file); }

    // Moves past text when the line goes on with it before any byte that
    // stops it; false, somewhere within the line, otherwise.
    bool skips(std::string_view text, bool (*stop)(int))
    {
        for (char c : text) {
            if (stop(byte) || byte != static_cast<unsigned char>(c))
                return false;
            advance();
        }
        return true;
    }

    // True when the line's text up to stop is text; the reader then stands at
    // the stopping byte.
    bool readsAs(std::string_view text, bool (*stop)(int)) { return skips(text, stop) && stop(byte); }

private:
    FILE* file;
    int byte = '\n';
    long lineNumber = 0;
};

// A header is "[" + section + "]", the whole name, up to the byte that ends it.
bool findSection(Reader& reader, const char* section)
{
    while (reader.nextLine())
        if (reader.skips("[", endsHeader) && reader.skips(section, endsHeader) && reader.readsAs("]", endsHeader))
            return true;
    return false;
}

// Copies the value the reader stands at into out, as the header describes.
int copyValue(Reader& reader, char* out, std::size_t size)
{
    while (reader.current() == '=')
        reader.advance();
    if (endsField(reader.current()))
        return 0;
    while (isWhite(reader.current()) && !endsField(reader.current()))
        reader.advance();
    std::size_t stored = 0;
    for (; stored < size && !endsField(reader.current()); reader.advance())
        out[stored++] = static_cast<char>(reader.current());
    std::memset(out + stored, 0, size - stored);
    while (stored > 0 && isWhite(static_cast<unsigned char>(out[stored - 1])))
        out[--stored] = '\0';
    return stored > 0 ? 1 : 0;
}

}

namespace ravlinpath {

int lookUpProfileString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                        const char* file, Lookup& lookup)
{
    lookup = {};
    if (size > 0 && out && defaultValue && out != defaultValue)
        std::strncpy(out, defaultValue, size);
    if (!key || !section || !file || !out || size <= 0)
        return 0;
    FILE* opened = openRegular(file, lookup.file);
    if (!opened)
        return 0;
    Reader reader(opened);
    if (!findSection(reader, section))
        return 0;
    while (reader.nextLine() && reader.current() != '[') {
        if (!reader.readsAs(key, endsField))
            continue;
        lookup.line = reader.line();
        if (reader.current() != '=')
            return 0;
        reader.advance();
        return copyValue(reader, out, size);
    }
    return 0;
}

}

int readProfileString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                      const char* file)
{
    ravlinpath::Lookup lookup;
    return ravlinpath::lookUpProfileString(section, key, defaultValue, out, size, file, lookup);
}
