/* Built against an installed ravlinpath as C99. */
#include <ravlinpath/RavlinC.h>
#include <ravlinpath/SystemC.h>

#include <stdio.h>

int main(void)
{
    printf("%s %s %d\n", pathRavlinProg(), pathSystemTmpDir(), pathRavlinPlatform());
    return 0;
}
