#ifndef RAVLINPATH_FIXED_H
#define RAVLINPATH_FIXED_H

// The fixed texts answered when a path cannot be computed, and what sets the
// two product families apart.

namespace ravlinpath {

namespace fallback {

inline constexpr char home[] = "/undefined";
inline constexpr char prog[] = "/undefined/prog";
inline constexpr char exp[] = "/undefined/exp";
inline constexpr char conf[] = "/undefined/conf";
inline constexpr char plot[] = "/undefined/plot";
inline constexpr char layout[] = "/undefined/plot/layouts";
inline constexpr char print[] = "/undefined/print";
inline constexpr char docu[] = "/undefined/prog/docu";
inline constexpr char appDefaults[] = "/undefined/prog/app-defaults";
inline constexpr char hints[] = "/undefined/prog/hints";
inline constexpr char disklessInst[] = "/usr/diskless";
inline constexpr char disklessRoot[] = "/usr/diskless/clients/spect/root";
inline constexpr char disklessLock[] = "/usr/diskless/clients/spect/lock";
inline constexpr char tmp[] = "/tmp";

}

// What sets the two product families apart: the variables each reads and the
// names it gives its per-user files. The texts are held in the table, not
// pointed to, so that a position-independent program has nothing of it to
// relocate at start-up.
struct Family {
    char home[16];
    char prog[16];
    char exp[16];
    char conf[16];
    char plot[16];
    char layout[16];
    char print[16];
    char stan[16];
    char stanBelowExp[8];  // the standard experiments' default; "": the experiment directory itself
    char expStanFallback[24];
    char dotPrefix[16];
    char dotFallback[16];
};

inline constexpr Family ravlinFamily = {"RAVLINHOME", "RAVLINPROG", "RAVLINEXP", "RAVLINCONF", "RAVLINPLOT",
                                        "RAVLINLAYOUT", "RAVLINPRINT", "PLENKO_STAN", "stan", "/undefined/exp/stan",
                                        "/.morvel-", ".morvel"};
inline constexpr Family tazloFamily = {"TAZLO_HOME", "TAZLO_PROG", "TAZLO_EXP", "TAZLO_CONF", "TAZLO_PLOT",
                                       "TAZLO_LAYOUT", "TAZLO_PRINT", "TAZLO_STAN", "", "/undefined/exp",
                                       "/.tazlo-", ".tazlo"};

// The family of a platform kind: Tazlo for PathPlatform::kindTazlo, else Ravlin.
const Family& familyOf(int kind);

}

#endif
