/* monotonic_clock.cpp - see monotonic_clock.h. */
#include "monotonic_clock.h"

#include <time.h>

double monotonic_seconds(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}
