/* sequence.h - frame rates as exact ratios, and which show time each frame
   of a sequence shows.

   parse_frame_rate reads "24", "12.5", "30000/1001"; the decimals editors
   write for the NTSC rates (23.976, 29.97, 59.94) mean 24000/1001,
   30000/1001 and 60000/1001. It returns false for anything else, or for a
   rate outside 1 to 1000 frames a second.

   A sequence starts at show time `from`; frame k shows
   from + floor(k * 1000 * den / num) ms, so frame 0 is always at `from` and
   no frame is later than its true moment. */
#ifndef VEXA_ENCODE_SEQUENCE_H
#define VEXA_ENCODE_SEQUENCE_H

#include <cstdint>
#include <string>

struct frame_rate {
    uint32_t num, den;  // num / den frames per second, in lowest terms
};
enum : uint32_t { min_fps = 1, max_fps = 1000 };
const frame_rate default_frame_rate = {30, 1};

bool parse_frame_rate(const char* text, frame_rate* rate);
/* "30000/1001", or "30" when den is 1: the form ffmpeg takes. */
std::string frame_rate_text(frame_rate rate);

uint32_t frame_time(uint32_t from, uint32_t k, frame_rate rate);
/* The number of frames from `from` that show a time before `to` (0 when
   to <= from): a span's length, or the first frame at or after `to`. */
uint32_t frame_count(uint32_t from, uint32_t to, frame_rate rate);
/* Where frame k starts in a sound track of `hz` samples a second, rounded
   to the nearest sample. */
uint64_t frame_sample(uint32_t k, frame_rate rate, uint32_t hz);

#endif
