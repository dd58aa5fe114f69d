/* Built against ravlinpath, installed or built along with it, as C99. */
#include <ravlinpath/RavlinC.h>
#include <ravlinpath/SystemC.h>

#include <stdio.h>

int main(void)
{
    printf("%s %s %d\n", pathRavlinProg(), pathSystemTmpDir(), pathRavlinPlatform());
    return 0;
}
