/* art_dir.h - which directory the artwork is loaded from, chosen once at
   start by vexa and vexa-capture.

   find_art_dir(given, program): with a directory given by the user, given/tex
   when that is a directory, else given itself (as typed, so that messages
   name "given/5.bmp"). Without one, the first directory of: tex (the working
   directory's; then everything is as it always was), <program dir>/tex
   (where the build puts it), <program dir>/../share/vexa/tex (where it is
   installed, wherever the prefix). When none is, it writes one line naming
   the paths tried, after "program: ", and returns "". */
#ifndef VEXA_ART_DIR_H
#define VEXA_ART_DIR_H

#include <string>

std::string find_art_dir(const char* given, const char* program);

#endif
