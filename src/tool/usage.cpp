/* usage.cpp - see usage.h. */
#include "usage.h"

#include <cstdio>

std::string usage_hint(const char* program)
{
    return std::string("Try '") + program + " --help' for more information.\n";
}

int usage_error(const char* program, const char* what)
{
    fprintf(stderr, "%s: %s\n%s", program, what, usage_hint(program).c_str());
    return usage_status;
}
