/* batch_cache.cpp - see batch_cache.h. */
#include "batch_cache.h"
#include "art_cache.h"
#include "batch_paths.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

void batch_share_art(const char* list)
{
    const std::string path = list;
    const size_t slash = path.rfind('/');
    const std::string home = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string dir = home + "/.vexa-cache";
    // Made by the first entry written: a batch that paints nothing leaves no trace.
    struct stat st;
    const std::string at = path_resolved(dir);
    const bool there = lstat(at.c_str(), &st) == 0;
    if (!path_inside(at, path_resolved(home)) || (there && !S_ISDIR(st.st_mode))) {
        fprintf(stderr, "vexa-capture: %s lies outside the list's directory or is no directory; "
                        "every row paints its own artwork\n", dir.c_str());
        return;
    }
    art_cache_use(at);
}
