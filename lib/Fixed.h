#ifndef RAVLINPATH_FIXED_H
#define RAVLINPATH_FIXED_H

// The fixed texts answered when a path cannot be computed, and the one test
// that tells the Tazlo family from the Ravlin family.

#include <ravlinpath/Platform.h>

namespace ravlinpath {

constexpr bool isTazlo(int kind) { return kind == PathPlatform::kindTazlo; }

namespace fallback {

inline constexpr char home[] = "/undefined";
inline constexpr char prog[] = "/undefined/prog";
inline constexpr char exp[] = "/undefined/exp";
inline constexpr char expStan[] = "/undefined/exp/stan";
inline constexpr char conf[] = "/undefined/conf";
inline constexpr char plot[] = "/undefined/plot";
inline constexpr char layout[] = "/undefined/plot/layouts";
inline constexpr char print[] = "/undefined/print";
inline constexpr char docu[] = "/undefined/prog/docu";
inline constexpr char appDefaults[] = "/undefined/prog/app-defaults";
inline constexpr char hints[] = "/undefined/prog/hints";
inline constexpr char dot[] = ".morvel";
inline constexpr char tazloDot[] = ".tazlo";
inline constexpr char disklessInst[] = "/usr/diskless";
inline constexpr char disklessRoot[] = "/usr/diskless/clients/spect/root";
inline constexpr char disklessLock[] = "/usr/diskless/clients/spect/lock";
inline constexpr char tmp[] = "/tmp";

}

}

#endif
