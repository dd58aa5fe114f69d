#ifndef RAVLINPATH_RAVLIN_H
#define RAVLINPATH_RAVLIN_H

// The directories of the Ravlin installation tree, the per-user dot directory
// and current-directory file, and the diskless-client paths.
//
// Instances are stateless; the answers are held in the static members, each
// computed once per process and never freed. A value an embedding program
// stores in expStanPath, dotPath or curDirPath before the first query is
// kept; the other tree paths are computed together on the first query of any
// of them.
class PathRavlin {
public:
    const char* homeDir();
    const char* progDir();
    const char* expDir();
    const char* expStanDir();
    const char* confDir();
    const char* plotDir();
    const char* layoutDir();
    const char* printDir();
    const char* docuDir();
    const char* appDefaultsDir();
    const char* hintsDir();

    // home + "/.morvel-" + short host name (".tazlo-" for the Tazlo family).
    const char* dotDir();

    // "curdir/" + login name, relative to the program directory; "" when the
    // user has no password entry.
    const char* curDirFile();

    const char* disklessInst();
    const char* disklessRoot();
    const char* disklessLock();

    int platformKind();

    static char* expPath;
    static char* expStanPath;
    static char* confPath;
    static char* plotPath;
    static char* layoutPath;
    static char* printPath;
    static char* docuPath;
    static char* appPath;
    static char* hintsPath;
    static char* dotPath;
    static char* curDirPath;

private:
    static const char* treePath(char* const& member);
    static void initPaths();
    static void initExpStanPath(bool tazlo);
};

#endif
