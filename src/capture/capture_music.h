/* capture_music.h - the show's music (music.h) for vexa-capture, decoded
   once before anything is drawn, from its start offset on, as much of it as
   the show plays. A show that ends with its music (--closing-ms music,
   "closing_ms": "music") takes its closing's length from the music
   (closing_for_music) and its span is settled again (--to defaults to the
   new end, the times are checked against it).

     music_source src;
     if (int status = capture_music_open(&o, &src)) return status;
     music_make_bed(src, o.doc.sound, o.timeline.end_ms, &bed);  // kinds with sound */
#ifndef VEXA_CAPTURE_MUSIC_H
#define VEXA_CAPTURE_MUSIC_H

#include "music.h"
#include "options.h"

/* 0 (nothing to do without music), or the exit status after one line: 1
   for a music file that cannot be used, 2 for "music" without music or a
   time beyond the show. */
int capture_music_open(capture_options* o, music_source* src);

#endif
