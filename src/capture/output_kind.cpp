/* output_kind.cpp - see output_kind.h. */
#include "output_kind.h"

#include <strings.h>
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
    if (name[n - 1] == '/')
        return kind_directory;
    for (const auto& s : suffixes) {
        const size_t m = strlen(s.suffix);
        if (n > m && strcasecmp(name + n - m, s.suffix) == 0)
            return s.kind;
    }
    struct stat st;
    return stat(name, &st) == 0 && S_ISDIR(st.st_mode) ? kind_directory : kind_unknown;
}
