#ifndef RAVLINPATH_FIXED_H
#define RAVLINPATH_FIXED_H

// The fixed texts answered when a path cannot be computed, and what sets the
// two product families apart.

namespace ravlinpath {

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

// The variables a family reads and the names it gives its per-user files.
struct Family {
    const char* home;
    const char* prog;
    const char* exp;
    const char* conf;
    const char* plot;
    const char* layout;
    const char* print;
    const char* stan;
    const char* stanBelowExp;  // the standard experiments' default; null: the experiment directory itself
    const char* expStanFallback;
    const char* dotPrefix;
    const char* dotFallback;
};

inline constexpr Family ravlinFamily = {"RAVLINHOME", "RAVLINPROG", "RAVLINEXP", "RAVLINCONF", "RAVLINPLOT",
                                        "RAVLINLAYOUT", "RAVLINPRINT", "PLENKO_STAN", "stan", fallback::expStan,
                                        "/.morvel-", fallback::dot};
inline constexpr Family tazloFamily = {"TAZLO_HOME", "TAZLO_PROG", "TAZLO_EXP", "TAZLO_CONF", "TAZLO_PLOT",
                                       "TAZLO_LAYOUT", "TAZLO_PRINT", "TAZLO_STAN", nullptr, fallback::exp,
                                       "/.tazlo-", fallback::tazloDot};

// The family of a platform kind: Tazlo for PathPlatform::kindTazlo, else Ravlin.
const Family& familyOf(int kind);

}

#endif
