/* timecode.cpp - see timecode.h. */
#include "timecode.h"
#include "decimal.h"

#include <cstring>

bool timecode_rate(frame_rate rate, int* fps)
{
    uint32_t nominal;
    if (rate.den == 1)
        nominal = rate.num;
    else if (rate.den == 1001 && rate.num % 1000 == 0)
        nominal = rate.num / 1000;
    else
        return false;
    if (nominal < 1 || nominal > timecode_max_fps)
        return false;
    *fps = (int)nominal;
    return true;
}

const char* timecode_check(const char* text, frame_rate rate)
{
    int fps;
    if (!timecode_rate(rate, &fps))
        return "the frame rate has no timecode (whole rates and N000/1001 do)";
    // HH:MM:SS, then ':' or ';' and the frames: two digits.
    const size_t length = strlen(text), frame_digits = 2;
    if (length != 9 + frame_digits || text[2] != ':' || text[5] != ':' || (text[8] != ':' && text[8] != ';'))
        return "a timecode is HH:MM:SS:FF, or HH:MM:SS;FF for drop-frame";
    uint64_t hh, mm, ss, ff;
    if (!read_decimal(text, 2, 2, &hh) || !read_decimal(text + 3, 2, 2, &mm) || !read_decimal(text + 6, 2, 2, &ss) ||
        !read_decimal(text + 9, frame_digits, frame_digits, &ff))
        return "a timecode is HH:MM:SS:FF, or HH:MM:SS;FF for drop-frame";
    if (hh > 23 || mm > 59 || ss > 59)
        return "a timecode's hours run 00 to 23, its minutes and seconds 00 to 59";
    if (ff >= (uint64_t)fps)
        return "the frames of a timecode count from 00 to one below the frame rate";
    if (text[8] == ';') {
        if (rate.den != 1001 || (fps != 30 && fps != 60))
            return "drop-frame (';') is for 29.97 and 59.94 frames a second";
        if (ss == 0 && mm % 10 != 0 && ff < (uint64_t)(fps / 15))
            return "drop-frame timecode skips that label at the start of the minute";
    }
    return NULL;
}
