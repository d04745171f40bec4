/* decimal.cpp - see decimal.h. */
#include "decimal.h"

bool read_decimal(const char* text, size_t length, size_t max_digits, uint64_t* value)
{
    if (length == 0 || length > max_digits)
        return false;
    uint64_t v = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (uint64_t)(text[i] - '0');
    }
    *value = v;
    return true;
}
