/* exit.cpp - the one way the program ends itself.

   my_exit releases the texture slots (show_release, which a host that
   loads the show again without ending it calls too) and ends the program (sys_exit: the
   process exits; a web page keeps the picture black). On a failure exit it also
   prints the system's text for the current error number, so a file that
   could not be opened is followed by the reason (say, "No such file or
   directory"). A clean exit prints nothing: errno is then only what some
   library call happened to leave behind. */
#include "sys.h"
#include "vexa.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void show_release(void)
{
    glDeleteTextures(6, my_tex_positive);
    glDeleteTextures(3, my_tex_negative);
    glDeleteTextures(1, &my_tex_photo);
    glDeleteTextures(2, my_tex_string);
    release_credit_sheets();
    release_numerals();
}

void my_exit(int status)
{
    const int error = errno;  // the GL calls below must not change what is reported
    show_release();
    if (status != 0 && error != 0)
        fprintf(stderr, "%s\n", strerror(error));
    sys_exit(status);
}
