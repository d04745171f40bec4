// art_output_page.cpp - art_output.h in the page, whose artwork stays in memory
// (art_make): there is no directory to swap, so art_output_write refuses.
#include "art_output.h"

bool art_output_write(const std::string& dir, const std::vector<art_output_file>&, std::string* why)
{
    *why = dir + ": the page writes no artwork directories";
    return false;
}
