// A program with functions of the names the library uses inside. It links
// against the archive only while the library keeps those names to itself.

#include <ravlinpath/RavlinC.h>

#include <cstdio>

char* copyString(const char* text) { return const_cast<char*>(text); }
char* findOnPath(const char* name) { return copyString(name); }
void normalizeSlashes(char*) {}

int main()
{
    std::printf("%s %s\n", findOnPath("mine"), pathRavlinHome());
}
