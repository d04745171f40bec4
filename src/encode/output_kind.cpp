/* output_kind.cpp - see output_kind.h. */
#include "output_kind.h"
#include "name_ending.h"

#include <sys/stat.h>

#include <cstring>

static const struct {
    const char* suffix;
    output_kind kind;
} suffixes[] = {
    {".png", kind_png}, {".mp4", kind_mp4}, {".mkv", kind_mkv}, {".webm", kind_webm}, {".mov", kind_mov},
};

output_kind output_kind_of(const char* name)
{
    const size_t n = strlen(name);
    if (n == 0)
        return kind_unknown;
    struct stat st;
    if (name[n - 1] == '/' || (stat(name, &st) == 0 && S_ISDIR(st.st_mode)))
        return kind_directory;  // whatever its name ends in: "shots.png/" is a directory
    for (const auto& s : suffixes)
        if (ends_with_nocase(name, s.suffix))
            return s.kind;
    return kind_unknown;
}
