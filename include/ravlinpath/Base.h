#ifndef RAVLINPATH_BASE_H
#define RAVLINPATH_BASE_H

// PathBase: the holder of the process's one platform object.

#include <ravlinpath/Platform.h>

class PathBase {
public:
    // The process's one platform object, of the Ravlin family. A program of
    // the Tazlo family sets platform.kind = PathPlatform::kindTazlo before
    // its first query.
    static PathPlatform platform;
};

#endif
