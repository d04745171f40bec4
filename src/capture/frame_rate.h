/* frame_rate.h - frame rates as exact ratios, and the show time of each frame.

   parse_frame_rate reads "24", "12.5", "30000/1001"; the decimals editors
   write for the NTSC rates (23.976, 29.97, 59.94) mean 24000/1001,
   30000/1001 and 60000/1001. It returns false for anything else, or for a
   rate outside 1 to 1000 frames a second.

   Frame k of a sequence starting at show time `from` shows
   from + floor(k * 1000 * den / num) ms (frame_time); a span from `from` up
   to, not including, `to` holds frames_before(rate, from, to) frames. */
#ifndef VEXA_CAPTURE_FRAME_RATE_H
#define VEXA_CAPTURE_FRAME_RATE_H

#include <cstdint>
#include <string>

struct frame_rate {
    uint32_t num, den;  // num / den frames per second, in lowest terms
};

bool parse_frame_rate(const char* text, frame_rate* rate);
/* "30000/1001", or "30" when den is 1: the form ffmpeg takes. */
std::string frame_rate_text(frame_rate rate);

uint32_t frame_time(uint32_t k, frame_rate rate, uint32_t from);
/* The number of frames k with frame_time(k, rate, from) < t (0 when t <= from):
   the count of a span, or the index of the first frame at or after t. */
uint32_t frames_before(frame_rate rate, uint32_t from, uint32_t t);
/* Where frame k starts in a sound track of `hz` samples a second, rounded
   to the nearest sample. */
uint64_t frame_sample(uint32_t k, frame_rate rate, uint32_t hz);

#endif
