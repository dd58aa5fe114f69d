// The command's writer: one buffer to file descriptor 1 (see Output.h).

#include "Output.h"

#include <unistd.h>

constinit Output output;

bool Output::finish()
{
    drain();
    return !failed;
}

void Output::drain()
{
    writeAll({buffer, used});
    used = 0;
}

// The command installs no signal handler, so write is never interrupted.
void Output::writeAll(std::string_view text)
{
    while (!text.empty() && !failed) {
        ssize_t written = write(1, text.data(), text.size());
        if (written <= 0)
            failed = true;
        else
            text.remove_prefix(written);
    }
}
