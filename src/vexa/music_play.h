/* music_play.h - the window program's music: the show's music bed
   (music.h), made once at start-up, played on the sound device
   (sound_out.h) in step with show time.

     if (music_play_start("vexa", doc, show_end_ms) != 0) return 1;  // a bad music file
     ... each frame: music_play_follow(m_lapsetime, m_pause) ...
     music_play_stop();

   Without a sound device, or without ffmpeg to decode, one warning line
   and the show runs silent on its clock. The device plays from the bed's
   sample at show time; a pause pauses it, and a step (or a device running
   off the show's clock by more than music_play_slack_ms) moves it to where
   the show is. */
#ifndef VEXA_MUSIC_PLAY_H
#define VEXA_MUSIC_PLAY_H

#include "show_doc.h"

#include <cstdint>

enum { music_play_slack_ms = 60 };

/* 0, also when playing silent after a warning; 1 after one line naming a
   music file that cannot be used. Nothing to do when the document has no
   music. A show ending with its music ("closing_ms": "music") takes its
   closing's length from it here (doc's closing_ms; show_ms is then worked
   out from it): call this before the show's timeline is. Without its music
   (no ffmpeg, or none named) the closing keeps closing_ms, after a
   warning. */
int music_play_start(const char* program, show_doc* doc, uint32_t show_ms);
void music_play_follow(uint32_t t, bool paused);
/* The bed's next sample the device will be handed (tests). */
uint64_t music_play_position(void);
bool music_play_playing(void);
void music_play_stop(void);

#endif
