/* art_dir.cpp - see art_dir.h. */
#include "art_dir.h"
#include "sys.h"

#include <cstdio>

std::string find_art_dir(const char* given, const char* program)
{
    if (given) {
        const std::string nested = std::string(given) + "/tex";
        return sys_is_directory(nested.c_str()) ? nested : std::string(given);
    }
    std::string tried = "tex";
    if (sys_is_directory("tex"))
        return "tex";
    const std::string home = sys_program_dir();
    if (!home.empty()) {
        const std::string places[] = {home + "/tex", home + "/../share/vexa/tex"};
        for (const std::string& place : places) {
            if (sys_is_directory(place.c_str()))
                return place;
            tried += ", " + place;
        }
    }
    fprintf(stderr, "%s: no artwork directory; tried %s\n", program, tried.c_str());
    return "";
}
