/* name_ending.cpp - see name_ending.h. */
#include "name_ending.h"

#include <cstring>
#include <strings.h>

bool ends_with_nocase(const char* name, const char* ending)
{
    const size_t n = strlen(name), e = strlen(ending);
    return n > e && strcasecmp(name + n - e, ending) == 0;
}
