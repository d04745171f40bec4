// art_output_page.cpp - art_output.h in the page, whose artwork stays in memory
// (art_make): there is no directory to swap, so art_output_write refuses. The
// path helpers are the POSIX file's (art_output.cpp), which the page cannot build.
#include "art_output.h"

bool art_output_write(const std::string& dir, const std::vector<art_output_file>&, std::string* why)
{
    *why = dir + ": the page writes no artwork directories";
    return false;
}

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
