#ifndef RAVLINPATH_SYSTEM_H
#define RAVLINPATH_SYSTEM_H

// Locations that belong to the machine rather than to the product tree.
// Instances are stateless; the answers are held in the static members.
class PathSystem {
public:
    // The value of LUMEVA, held for the life of the process.
    class Lumeva {
    public:
        Lumeva();
        char* path;  // null when LUMEVA is unset
    };

    const char* pdfViewerPath();  // null when no viewer is found
    const char* userHome();
    const char* userName();
    const char* tmp();            // "/tmp" unless set before the first query
    int platformKind();
    const char* lumevaPath();     // null when LUMEVA is unset
    const char* quambyPath();     // may be null
    const char* briskoPath();     // null when brisko is not on PATH

    static char* tmpDir;
    static Lumeva* lumeva;
};

#endif
