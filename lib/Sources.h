#ifndef RAVLINPATH_SOURCES_H
#define RAVLINPATH_SOURCES_H

// Where every answer comes from: the variables each product family reads,
// what an answer lies below, the fixed texts answered when it cannot be
// computed, the executables searched for and the registry's settings. The
// answers are computed from these tables, and explained from the same ones.
//
// The texts are held in the tables, not pointed to, so that a
// position-independent program has nothing of them to relocate at start-up.

#include <ravlinpath/Origin.h>

namespace ravlinpath {

using Answer = PathOrigin::Answer;

constexpr int indexOf(Answer answer) { return static_cast<int>(answer); }

// What sets the two product families apart: the variables each reads and the
// names it gives its per-user files.
struct Family {
    char home[24];
    char prog[24];
    char exp[24];
    char conf[24];
    char plot[24];
    char layout[24];
    char print[24];
    char stan[24];
    char lumeva[24];
    char registry[24];
    char stanBelowExp[8];  // the standard experiments' default; "": the experiment directory itself
    char expStanFallback[24];
    char dotPrefix[16];
    char dotFallback[16];
};

inline constexpr Family ravlinFamily = {
    "RAVLINHOME", "RAVLINPROG", "RAVLINEXP", "RAVLINCONF", "RAVLINPLOT", "RAVLINLAYOUT", "RAVLINPRINT",
    "PLENKO_STAN", "LUMEVA", "HALVIK_REGISTRY_FILE", "stan", "/undefined/exp/stan", "/.morvel-", ".morvel"};
inline constexpr Family tazloFamily = {
    "TAZLO_HOME", "TAZLO_PROG", "TAZLO_EXP", "TAZLO_CONF", "TAZLO_PLOT", "TAZLO_LAYOUT", "TAZLO_PRINT",
    "TAZLO_STAN", "LUMEVA", "HALVIK_REGISTRY_FILE", "", "/undefined/exp", "/.tazlo-", ".tazlo"};

// The family of a platform kind: Tazlo for PathPlatform::kindTazlo, else Ravlin.
const Family& familyOf(int kind);

// A variable of the family, or none.
using Variable = const char (Family::*)[24];

// How an answer was made.
enum class Made : unsigned char {
    notYet,           // not computed: if it has a value, the program stored it
    fromVariable,     // its variable's value
    below,            // base + "/" + below: its variable not set, or not copied
    sameAs,           // a copy of its base
    named,            // named after the login
    fallback,         // its fixed fallback; the trace's number: a PathOrigin::Fallback
    fixed,            // a fixed text
    none,             // no answer
    passwordEntry,    // from the password database entry
    noPasswordEntry,  // the real user has none
    searched,         // the first candidate that passed, or none
    setting,          // read from the registry file
    blankSetting,     // white space alone in the registry file
    settingDefault,   // not in the registry file: the default
    notRead,          // not read from the registry file: the program stored the Fennet program directory
    kept,             // a value the program stored before the first query, kept
};

// How an answer is composed. An answer with a variable is that variable's
// value when it is set (the empty string counts as set); otherwise, or when
// the value cannot be copied, base + "/" + below, with backslashes turned
// into slashes unless it is kept as given; fallback when that cannot be
// allocated. Without a base, an unset variable gives what unset says. The
// other answers (searched, read from the registry, looked up in the password
// database) are made by their groups, and the row gives their names.
struct Source {
    char name[16];       // as PathOrigin::nameOf gives it
    char fallback[40];   // the fixed text answered when it cannot be computed
    Answer group;        // the first answer of those computed together, under one lock
    Variable variable;   // the family's variable that names it, or null
    Answer base;         // the answer it lies below; itself for none
    char below[24];      // joined to base after a "/"
    char words[32];      // what the answer is, where an explanation names it as another's base
    Made unset = Made::fallback;  // without base or variable: the fallback, fixed, or no answer
    bool asGiven = false;         // backslashes are kept
};

inline constexpr Source sources[PathOrigin::answerCount] = {
    {"home", "/undefined", Answer::home, &Family::home, Answer::home, "", "the home"},
    {"prog", "/undefined/prog", Answer::home, &Family::prog, Answer::home, "prog", "the program directory"},
    {"exp", "/undefined/exp", Answer::exp, &Family::exp, Answer::home, "exp", "the experiment directory"},
    {"exp_stan", "/undefined/exp/stan", Answer::exp, &Family::stan, Answer::exp, "", ""},
    {"conf", "/undefined/conf", Answer::exp, &Family::conf, Answer::home, "conf", ""},
    {"plot", "/undefined/plot", Answer::exp, &Family::plot, Answer::home, "plot", ""},
    {"layout", "/undefined/plot/layouts", Answer::exp, &Family::layout, Answer::home, "plot/layouts", ""},
    {"print", "/undefined/print", Answer::exp, &Family::print, Answer::home, "print", ""},
    {"docu", "/undefined/prog/docu", Answer::exp, nullptr, Answer::prog, "docu", ""},
    {"app_defaults", "/undefined/prog/app-defaults", Answer::exp, nullptr, Answer::prog, "app-defaults", ""},
    {"hints", "/undefined/prog/hints", Answer::exp, nullptr, Answer::prog, "hints", ""},
    {"dot", ".morvel", Answer::dot, nullptr, Answer::userHome, "", ""},
    {"cur_dir", "", Answer::curDir, nullptr, Answer::prog, "", ""},
    {"diskless_inst", "/usr/diskless", Answer::disklessInst, nullptr, Answer::disklessInst, "",
     "the diskless installation", Made::fixed},
    {"diskless_root", "/usr/diskless/clients/spect/root", Answer::disklessInst, nullptr, Answer::disklessInst,
     "clients/spect/root", ""},
    {"diskless_lock", "/usr/diskless/clients/spect/lock", Answer::disklessInst, nullptr, Answer::disklessInst,
     "clients/spect/lock", ""},
    {"pdf_viewer", "", Answer::pdfViewer, nullptr, Answer::pdfViewer, "", ""},
    {"lumeva", "", Answer::lumeva, &Family::lumeva, Answer::lumeva, "", "", Made::none, true},
    {"user_home", "", Answer::userHome, nullptr, Answer::userHome, "", "the user's home"},
    {"user_name", "", Answer::userHome, nullptr, Answer::userName, "", ""},
    {"user_profile", "", Answer::userHome, nullptr, Answer::userProfile, "", ""},
    {"tmp", "/tmp", Answer::tmp, nullptr, Answer::tmp, "", "", Made::fixed},
    {"registry_file", "/usr/Halvik/Software.ini", Answer::registryFile, &Family::registry, Answer::registryFile, "",
     "", Made::fixed, true},
    {"fennet_prog", "/usr/prog/zoltra-fennet", Answer::fennetProg, nullptr, Answer::fennetProg, "", ""},
    {"fennet_exe", "zoltra", Answer::fennetProg, nullptr, Answer::fennetExe, "", ""},
    {"fennet_win", "ZoltraMain", Answer::fennetProg, nullptr, Answer::fennetWin, "", ""},
    {"brisko", "", Answer::brisko, nullptr, Answer::brisko, "", ""},
    {"quamby", "", Answer::quamby, nullptr, Answer::quamby, "", ""},
};

constexpr const Source& sourceOf(Answer answer) { return sources[indexOf(answer)]; }
constexpr const char* fallbackOf(Answer answer) { return sourceOf(answer).fallback; }
constexpr bool hasBase(const Source& source) { return &sourceOf(source.base) != &source; }
constexpr const char* baseWords(const Source& source) { return sourceOf(source.base).words; }

// The installation tree's directories computed together, but for the
// standard experiments, which follow the experiment directory.
inline constexpr Answer treeAnswers[] = {Answer::exp,   Answer::conf, Answer::plot,        Answer::layout,
                                         Answer::print, Answer::docu, Answer::appDefaults, Answer::hints};

// The places a PDF viewer is looked for, in order: along PATH, or in the
// program directory's bin.
struct Viewer {
    bool inProgBin;
    char name[16];
};

inline constexpr Viewer viewers[] = {
    {false, "acroread"}, {true, "acroread"}, {false, "evince"}, {false, "xpdf"}, {true, "xpdf"},
};

inline constexpr char briskoName[] = "brisko";

// The Fennet settings in the registry: each answer's key, with the Source's
// fallback as its default.
inline constexpr char fennetSection[] = "Zoltra-Fennet";

struct Setting {
    Answer answer;
    char key[16];
};

inline constexpr Setting fennetSettings[] = {
    {Answer::fennetProg, "ProgPath"}, {Answer::fennetExe, "ProgName"}, {Answer::fennetWin, "WinName"}};

}

#endif
