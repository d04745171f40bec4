/* page_options.h - the options the show's page reads from its address.

     ?photo      the photo backdrop
     ?fps        the frame-rate counter
     ?seed=N     the strips' layout (0 to 4294967295; a clock seed without it)
     ?t=MS       start at show time MS (0 to 15999)
     ?paused     start paused

   Options are separated by '&'. A switch (photo, fps, paused) is on when
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
    uint32_t start_ms;
    bool paused;
};

int page_options_parse(page_options* options, const char* query);

#endif
