/* timecode.h - SMPTE start timecodes, as editors write them.

   A timecode counts frames at a whole nominal rate from 1 to 100: 24, 25,
   30 ... or, at the NTSC rates N000/1001, N (23.976 counts as 24). Other
   rates (12.5) have none. "HH:MM:SS:FF" counts every frame; "HH:MM:SS;FF" is drop-frame, for
   29.97 and 59.94 only (30000/1001 and 60000/1001): frame labels 00 and
   01 (00 to 03 at 59.94) are skipped at the start of each minute not
   divisible by ten, so the label keeps to the clock.

     int fps;
     if (!timecode_rate(rate, &fps)) ... the rate has no timecode
     const char* why = timecode_check("01:00:00;00", rate);   NULL when it is valid

   timecode_check returns NULL for a valid timecode at that rate, or a few
   words saying what is wrong. Hours run 00 to 23, minutes and seconds 00 to
   59, frames from 00 to one below the nominal rate. */
#ifndef VEXA_ENCODE_TIMECODE_H
#define VEXA_ENCODE_TIMECODE_H

#include "sequence.h"

enum { timecode_max_fps = 100 };

bool timecode_rate(frame_rate rate, int* fps);
const char* timecode_check(const char* text, frame_rate rate);

#endif
