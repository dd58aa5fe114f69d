/* The floor for the PDF viewer search: the same access() and stat() calls, in
 * the same order, as ravlin-path makes, and the first hit printed. */
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int isExecutableFile(const char* path)
{
    struct stat status;
    return access(path, X_OK) == 0 && stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

static int onPath(const char* name, char* found)
{
    const char* element = getenv("PATH");
    while (element && *element) {
        const char* colon = strchr(element, ':');
        size_t length = colon ? (size_t)(colon - element) : strlen(element);
        if (length > 0 && snprintf(found, PATH_MAX, "%.*s/%s", (int)length, element, name) < PATH_MAX
            && isExecutableFile(found))
            return 1;
        element = colon ? colon + 1 : NULL;
    }
    return 0;
}

static int inProgBin(const char* prog, const char* name, char* found)
{
    return snprintf(found, PATH_MAX, "%s/bin/%s", prog, name) < PATH_MAX && isExecutableFile(found);
}

int main(void)
{
    const char* home = getenv("RAVLINHOME");
    char prog[PATH_MAX];
    snprintf(prog, sizeof prog, "%s/prog", home ? home : "/undefined");
    char found[PATH_MAX];
    if (onPath("acroread", found) || inProgBin(prog, "acroread", found) || onPath("evince", found)
        || onPath("xpdf", found) || inProgBin(prog, "xpdf", found))
        printf("%s", found);
    return 0;
}
