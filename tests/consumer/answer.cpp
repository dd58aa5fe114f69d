// Built against ravlinpath, installed or built along with it.
#include <ravlinpath/Base.h>
#include <ravlinpath/IniFile.h>
#include <ravlinpath/Ravlin.h>

#include <cstdio>

int main()
{
    PathBase::platform.kind = PathPlatform::kindTazlo;
    char value[8] = {};
    int found = readProfileString("S", "K", "dflt", value, 7, "/nonexistent");
    std::printf("%s %s %d\n", PathRavlin().docuDir(), value, found);
    return 0;
}
