#ifndef RAVLINPATH_LOOKUP_H
#define RAVLINPATH_LOOKUP_H

// readProfileString, telling also what became of the file and on which line
// the key stood, so that a setting can be traced to its line.

#include <ravlinpath/Origin.h>

namespace ravlinpath {

using FileState = PathOrigin::FileState;

struct Lookup {
    FileState file = FileState::missing;
    long line = 0;  // the key's line, counted from 1; 0 when the key was not found
};

int lookUpProfileString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                        const char* file, Lookup& lookup);

}

#endif
