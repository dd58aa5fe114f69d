#ifndef RAVLINPATH_TOOL_OUTPUT_H
#define RAVLINPATH_TOOL_OUTPUT_H

// The command's one writer: everything it prints passes through one buffer to
// file descriptor 1. A failed write is seen whatever its length, and nothing
// sets up a stdio stream (no fstat, no buffer allocation, no formatting). A
// closed pipe ends the process with SIGPIPE, as it ends every filter.

#include <cstring>
#include <string_view>

// The command's status when it fails: a usage error, output that could not
// be written, or an answer that the form asked for cannot carry.
constexpr int exitFailure = 255;

class Output {
public:
    void put(std::string_view text)
    {
        if (text.size() > sizeof buffer - used) {
            drain();
            if (text.size() > sizeof buffer) {
                writeAll(text);
                return;
            }
        }
        std::memcpy(buffer + used, text.data(), text.size());
        used += text.size();
    }

    // A null text (no viewer, LUMEVA unset) prints nothing.
    void put(const char* text)
    {
        if (text)
            put(std::string_view(text));
    }

    void pad(std::size_t width, std::size_t printed)
    {
        for (; printed < width; ++printed)
            put(" ");
    }

    // Whether everything put reached the file.
    bool finish();

private:
    void drain();
    void writeAll(std::string_view text);

    char buffer[4096] = {};
    std::size_t used = 0;
    bool failed = false;
};

extern Output output;

#endif
