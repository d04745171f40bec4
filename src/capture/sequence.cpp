/* sequence.cpp - see sequence.h. */
#include "sequence.h"
#include "show_times.h"

uint32_t frame_time(uint32_t from, uint32_t k, int fps)
{
    return from + (uint32_t)((uint64_t)k * 1000u / (uint64_t)fps);
}

uint32_t frame_count(uint32_t from, int fps)
{
    if (from >= show_end_ms)
        return 0;
    // The first k whose time reaches the end: k * 1000 >= (end - from) * fps.
    const uint64_t span = show_end_ms - from;
    return (uint32_t)((span * (uint64_t)fps + 999u) / 1000u);
}
