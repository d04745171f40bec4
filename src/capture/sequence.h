/* sequence.h - which show time each frame of a sequence shows.

   A sequence starts at show time from and runs at fps frames per second of
   show time; frame k shows from + floor(k * 1000 / fps) ms, so frame 0 is
   always at from and no frame is later than its true moment. The sequence
   ends before the show does (show_end_ms). */
#ifndef VEXA_CAPTURE_SEQUENCE_H
#define VEXA_CAPTURE_SEQUENCE_H

#include <cstdint>

uint32_t frame_time(uint32_t from, uint32_t k, int fps);
/* The number of frames of the sequence. */
uint32_t frame_count(uint32_t from, int fps);

#endif
