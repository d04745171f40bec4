/* std_streams.h - standard input, output and error made sure to be open.

   A program started with one of descriptors 0 to 2 closed (`prog <&-`)
   would hand that number to the next file or pipe it opens, and a child
   given the pipe as its standard input would find its output there.
   std_streams_open, called first thing in main, opens /dev/null on each
   of them that is closed, as careful daemons do. */
#ifndef VEXA_STD_STREAMS_H
#define VEXA_STD_STREAMS_H

void std_streams_open(void);

#endif
