#ifndef RAVLINPATH_PLATFORM_H
#define RAVLINPATH_PLATFORM_H

// The facts every path is built from: who the user is, where the product is
// installed, where a PDF viewer lies and where the diskless-client tree lies.
//
// Facts come in groups. A group is computed by its constructor on the first
// call of one of its accessors and held until the process ends; its static
// members may be given values by an embedding program before that first call.
// Any thread may make any query, the first included: each group is computed
// once, and later queries take no lock.
//
// Every answer is a borrowed string that lives until the process ends.
class PathPlatform {
public:
    static constexpr int kindRavlin = 0;
    static constexpr int kindTazlo = 1;

    constexpr explicit PathPlatform(int kind) : kind(kind) {}

    // Password database entry of the real user; "" when there is none.
    const char* userName();
    const char* userHome();
    const char* userProfile();

    // The installation; "/undefined" and "/undefined/prog" when not located.
    const char* ravlinHome();
    const char* ravlinProg();

    // A PDF viewer executable; null when none is found.
    const char* pdfViewerPath();

    const char* disklessInst();
    const char* disklessRoot();
    const char* disklessLock();

    // The site's software registry file, and the Fennet settings read from
    // it; each setting has a default for a missing file, section or key.
    const char* analysisRegistry();
    const char* fennetProg();
    const char* fennetExe();
    const char* fennetWin();

    // The brisko executable found on PATH; null when there is none.
    const char* briskoPath();

    // Null unless an embedding program stored Quamby::path.
    const char* quambyPath();

    class User {
    public:
        User();
        static char* name;
        static char* home;
        static char* profile;  // the same string as home
    };

    class Ravlin {
    public:
        explicit Ravlin(int kind);
        static char* home;
        static char* prog;
    };

    class PdfViewer {
    public:
        explicit PdfViewer(const char* prog);
        static char* path;
    };

    class Diskless {
    public:
        Diskless();
        static char* inst;
        static char* root;
        static char* lock;
    };

    class Analysis {
    public:
        Analysis();
        static const char* registry;  // HALVIK_REGISTRY_FILE, else /usr/Halvik/Software.ini
    };

    class Fennet {
    public:
        explicit Fennet(const char* registryFile);
        // Reads the outputs that are not null from the section of the
        // registry file, each into size + 1 zero-filled bytes.
        static void readSettings(const char* section, char* progOut, char* nameOut, char* winOut, int size);
        static const char* registry;
        static char* prog;
        static char* exe;
        static char* win;
    };

    class Brisko {
    public:
        Brisko();
        static char* path;
    };

    class Quamby {
    public:
        static char* path;
    };

    // Each set once its group has been computed; never destroyed.
    static User* user;
    static Ravlin* ravlin;
    static PdfViewer* pdfviewer;
    static Diskless* diskless;
    static Analysis* analysis;
    static Fennet* fennet;
    static Brisko* brisko;
    static Quamby* quamby;

    // kindTazlo selects the Tazlo family, any other value the Ravlin family.
    int kind;

private:
    void createFennet();
};

#endif
