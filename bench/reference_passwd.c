/* The floor for the keywords answered from the password database: the fewest
 * C library calls that print the same answer as ravlin-path. */
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 255;
    const char* keyword = argv[1];
    const struct passwd* entry = getpwuid(getuid());
    if (strcmp(keyword, "userhome") == 0) {
        printf("%s", entry ? entry->pw_dir : "");
        return 0;
    }
    if (strcmp(keyword, "dot") == 0) {
        char host[257] = "";
        if (gethostname(host, 256) != 0)
            host[0] = '\0';
        char* domain = strchr(host, '.');
        if (domain)
            *domain = '\0';
        printf("%s/.morvel-%s", entry ? entry->pw_dir : "", host);
        return 0;
    }
    if (strcmp(keyword, "curdir") == 0) {
        const char* prog = getenv("RAVLINPROG");
        const char* home = getenv("RAVLINHOME");
        if (prog)
            printf("%s/curdir/%s", prog, entry ? entry->pw_name : "");
        else
            printf("%s/prog/curdir/%s", home ? home : "/undefined", entry ? entry->pw_name : "");
        return 0;
    }
    return 255;
}
