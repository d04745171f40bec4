/* usage.cpp - see usage.h. */
#include "usage.h"

#include <cstdio>

int usage_error(const char* program, const char* what)
{
    fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program, what, program);
    return usage_status;
}
