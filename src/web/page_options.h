/* page_options.h - the options the show's page reads from its address.

     ?photo      the photo backdrop
     ?fps        the frame-rate counter
     ?seed=N     the strips' layout (0 to 4294967295; a clock seed without it)
     ?t=MS       start at show time MS (a whole number of ms here; the page
                 holds it against the show's length once its document is in,
                 page_time_check)
     ?paused     start paused
     ?crop       the classic 4:3 picture across the width, not laid out for
                 the window

   Options are separated by '&'. A switch (photo, fps, paused, crop) is on when
   named alone or with =1, =true, =yes, =on or an empty value, off with =0,
   =false, =no or =off (any case). Names the page does not know are left
   alone, so an address can carry other parameters. page_options_parse takes
   the query with or without its leading '?' and returns 0, or 1 after
   writing one line for each bad value to standard error (the page's console
   and its notice), quoting at most 40 characters of it; every other option
   is still read, and a bad one stays at its default. */
#ifndef VEXA_PAGE_OPTIONS_H
#define VEXA_PAGE_OPTIONS_H

#include <cstdint>

struct page_options {
    bool photo;
    bool fps;
    bool has_seed;
    uint32_t seed;
    bool has_start;
    uint32_t start_ms;
    bool paused;
    bool crop;
};

int page_options_parse(page_options* options, const char* query);
/* Whether the t= start time lies in a show whose last time is last_ms:
   true, or false after the line naming it (as a bad value above). */
bool page_time_check(uint32_t start_ms, uint32_t last_ms);

#endif
