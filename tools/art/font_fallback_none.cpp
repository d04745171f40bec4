// font_fallback_none.cpp - font_fallback.h where no faces are installed: every
// character the chosen faces lack is missing.
#include "font_fallback.h"

bool font_fallback_find(char32_t, std::string*, int*)
{
    return false;
}

void font_fallback_done() {}

bool font_family_find(const std::string&, bool, std::string*, int*, std::string*)
{
    return false;
}
