#ifndef RAVLINPATH_ORIGIN_H
#define RAVLINPATH_ORIGIN_H

// Where each answer came from: the chain of facts that decided it, the
// inputs that were looked at and passed over included. The facts are kept
// while the answer is computed, at no cost worth measuring, so any answer may
// be explained at any later time.
//
// Every text a fact points to lives until the process ends.

#include <string>
#include <string_view>
#include <vector>

class PathOrigin {
public:
    // Every answer of the library, the ones without a C-linkage function too.
    enum class Answer {
        home, prog, exp, expStan, conf, plot, layout, print, docu, appDefaults, hints, dot, curDir,
        disklessInst, disklessRoot, disklessLock, pdfViewer, lumeva, userHome, userName, userProfile, tmp,
        registryFile, fennetProg, fennetExe, fennetWin, brisko, quamby,
    };
    static constexpr int answerCount = static_cast<int>(Answer::quamby) + 1;

    enum class Kind {
        variable,           // name was set to value, and used
        variableUnset,      // name was not set
        variableNotCopied,  // name was set to value, but passed over: no memory for its copy
        passwordEntry,      // number: the real user id; name: the login; value: the home directory
        noPasswordEntry,    // number: the real user id
        hostName,           // name: as the system gives it; value: the part kept
        noHostName,         // the system gave none
        emptyElement,       // PATH has an empty element, which is skipped
        candidate,          // value: a path tried; number: a Candidate
        noneFound,          // no candidate passed; number: the PathOrigin::Answer searched for
        registryFile,       // value: the file; number: a FileState
        setting,            // name: the key; detail: the section; value: the file; number: its line
        blankSetting,       // as setting, for a value of white space alone
        settingDefault,     // name: the key; detail: the section; value: the default taken; number: the key's
                            // line when it stands there without a value, else 0
        notRead,            // name: the key; detail: the section, not read: the program stored the directory
        below,              // name: what value is; detail: what was joined to it. Its facts follow, deeper.
        named,              // name: what the answer is named after; value: that name. Its facts follow.
        sameAs,             // name: what value is; the answer is its copy. Its facts follow.
        normalized,         // backslashes were turned into forward slashes
        fixed,              // value: a fixed text; name: the variable it stands for when unset, or null
        fallback,           // value: the fixed text taken; number: a Fallback
        stored,             // value: stored by the program before the first query
        noSource,           // nothing but the program may give this answer
        notAsked,           // the answer has not been asked for yet
    };

    enum class Candidate { found, missing, unreachable, directory, notRegular, notExecutable, tooLong, notCopied };
    enum class FileState { read, missing, notRegular, unreadable, leased };
    enum class Fallback { notLocated, outOfMemory };

    struct Fact {
        Kind kind;
        int depth;  // 0 for the answer's own facts, 1 for those of an input it was made from, ...
        const char* name;
        const char* value;
        const char* detail;
        long number;
    };

    // Receive, one at a time, the facts of an answer or the pieces of a text.
    using FactSink = void (*)(const Fact& fact, void* context);
    using TextSink = void (*)(std::string_view piece, void* context);

    // The facts of answer, in order. The forms with a sink allocate nothing
    // and compute nothing: they explain the answer as it stands, and say so
    // when it has not been asked for yet (ask for it first). The others ask
    // for the answer, and for the answers it lies below, first, and throw
    // std::bad_alloc when out of memory.
    static void forEachFact(Answer answer, FactSink sink, void* context);
    static std::vector<Fact> factsOf(Answer answer);

    // One fact in words an administrator understands, such as "RAVLINEXP
    // not set" or "/usr/Halvik/Software.ini:3: ProgPath in [Zoltra-Fennet]".
    static void describe(const Fact& fact, TextSink sink, void* context);
    static std::string describe(const Fact& fact);

    // Where answer came from, in a few words: "from RAVLINEXP", "below the
    // home", "PATH".
    static void summarize(Answer answer, TextSink sink, void* context);
    static std::string summary(Answer answer);

    // The facts of answer, one per line, indented two spaces per depth.
    static std::string textOf(Answer answer);

    // The sinks as any callable: forEachFact(answer, [&](const Fact& fact) {...}).
    template <typename Sink>
    static void forEachFact(Answer answer, Sink&& sink)
    {
        forEachFact(answer, [](const Fact& fact, void* context) { (*static_cast<Sink*>(context))(fact); }, &sink);
    }

    template <typename Sink>
    static void describe(const Fact& fact, Sink&& sink)
    {
        describe(fact, [](std::string_view piece, void* context) { (*static_cast<Sink*>(context))(piece); }, &sink);
    }

    template <typename Sink>
    static void summarize(Answer answer, Sink&& sink)
    {
        summarize(answer, [](std::string_view piece, void* context) { (*static_cast<Sink*>(context))(piece); },
                  &sink);
    }

    // The answer's name, as in "exp", "exp_stan" or "fennet_prog".
    static const char* nameOf(Answer answer);

    // The answer of that name; false when no answer has it.
    static bool find(std::string_view name, Answer& answer);
};

#endif
