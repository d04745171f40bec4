/* rename_fault.c - an LD_PRELOAD shim for the tests: renameat2 fails with EIO
   when it would put a file under the name $VEXA_FAIL_RENAME (its last part);
   every other call goes through. It breaks a swap half-way, to see what is
   put back.

     LD_PRELOAD=librename_fault.so VEXA_FAIL_RENAME=frame-00003.png vexa-capture ... */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int renameat2(int old_dir, const char* old_path, int new_dir, const char* new_path, unsigned int flags)
{
    typedef int (*renameat2_fn)(int, const char*, int, const char*, unsigned int);
    static renameat2_fn real;
    if (!real)
        real = (renameat2_fn)dlsym(RTLD_NEXT, "renameat2");
    const char* fail = getenv("VEXA_FAIL_RENAME");
    const char* slash = strrchr(new_path, '/');
    if (fail && strcmp(slash ? slash + 1 : new_path, fail) == 0) {
        errno = EIO;
        return -1;
    }
    return real(old_dir, old_path, new_dir, new_path, flags);
}
