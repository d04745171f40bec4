/* show_times.h - the show's phase times, in ms of show time.

   Every phase boundary is named here once; the show, vexa-capture and the
   contact sheet read these names. Tests keep their own literal times, so a
   wrong value here shows up as a failing picture. */
#ifndef VEXA_SHOW_TIMES_H
#define VEXA_SHOW_TIMES_H

#include <cstdint>

enum : uint32_t {
    show_closing_ms = 9000,         // the leader ends, the closing sequence begins
    show_captions_ms = 10000,       // photo dimmed, first caption
    show_second_caption_ms = 11000, // second caption
    show_strips_ms = 11500,         // strips count from here, one every show_strip_step_ms...
    show_strip_step_ms = 100,
    show_first_strip_ms = 11600,    // ...so the first pops in here
    show_throw_ms = 13000,          // the strips are thrown
    show_fade_ms = 14000,           // fade to black
    show_last_ms = 15999,           // the last show time that draws a picture
    show_end_ms = 16000,            // the show is over
};

#endif
