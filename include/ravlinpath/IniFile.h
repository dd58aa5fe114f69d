#ifndef RAVLINPATH_INIFILE_H
#define RAVLINPATH_INIFILE_H

// Looks up key in the first [section] of a file of key=value lines.
//
// out receives defaultValue first, then the value when one is found: at most
// size bytes, the rest of the size bytes zero-filled, so a text of size bytes
// or more is not terminated within them (pass a zero-filled buffer of size + 1
// bytes). The value is the text after the key's "=" (further "=" directly
// following it skipped) up to the next "=" or the end of the line, without
// its leading and trailing white space.
//
// Answers 1 when a non-empty value was stored, else 0: out keeps the default
// for a missing or unreadable file (anything but a regular file counts as
// missing), section or key, and for a key with nothing after its "="; out is
// left empty for a value of white space alone.
//
// A section header is "[" + section + "]" from the first column, ended by
// ";", "=", a space or the line's end; it matches only the whole section name,
// however long. Keys are compared byte for byte, spaces included. A line that
// starts with "[" ends the section.
//
// The file is opened and closed on every call. A FIFO, device or directory
// is examined without being opened, and refused at once; a regular file
// examined is then opened through /proc/self/fd, which reaches that very
// file whatever has been put at its path since, so that nothing but a
// regular file is ever opened for reading. Where /proc is not mounted, the
// kernel offers an unprivileged process no such way: the file is examined
// again before every open and opened by name at once, at the path it
// resolves to and following no link there; a file renamed over it in
// between is examined and opened anew, up to 8 times a call, and then counts
// as unreadable. What remains is the moment between the last examination
// and that open: a process that may write the file's directory, or one
// above it, and puts a FIFO or a device at that path just then, has it
// opened, without blocking and never as a controlling terminal, and closed
// again unread (a writer waiting on the FIFO is let through).
//
// When another process holds a lease on the file, the call waits until the
// lease is broken (at most /proc/sys/fs/lease-break-time seconds, 45 unless
// changed; where /proc is not mounted, at most 46 seconds from the first
// open, on the monotonic clock).
int readProfileString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                      const char* file);

#endif
