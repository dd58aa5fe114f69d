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
// The file is opened and closed on every call. Only a regular file is ever
// opened for reading: a FIFO, device or directory is examined without being
// opened, and refused at once. When another process holds a lease on the
// file, the call waits until the lease is broken (at most
// /proc/sys/fs/lease-break-time seconds, 45 unless changed; where /proc is
// not mounted, at most 46 seconds from the first open, on the monotonic
// clock).
int readProfileString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                      const char* file);

#endif
