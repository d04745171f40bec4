// art_paths.cpp - the artwork's path helpers (art_output.h), shared by the
// native build and the page's: a directory's name without closing slashes,
// and a file's path in it without a doubled one.
#include "art_output.h"

std::string art_path_trimmed(const std::string& dir)
{
    std::string out = dir;
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

std::string art_path_join(const std::string& dir, const std::string& name)
{
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}
