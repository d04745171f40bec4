/* audio_pop.h - the leader's sound: a track, silent but for 1 kHz tones each
   lasting exactly one frame, the way film and video leaders mark sync:
     the pop   the first frame whose show time is at least pop_at_ms (when
               the "2" card comes up)
     beeps     the first frame of every count of the leader (0, 1000 ...
               8000 ms), as MLT's count producer and broadcast leaders beep
   The counts are the show's timeline's (show_timeline.h; classic by
   default); without a 2 or without a leader there is no pop.
   A frame that is both carries one tone, not two. Each tone is a cosine of
   the chosen peak level (default -20 dBFS, the leader convention), starting
   at its frame's first sample (a sharp onset to sync by), its first and last
   pop_ease samples eased in and out along half a cosine: a lossy track (AAC,
   Opus) band-limits a hard edge, which would ring past the peak by 0.7 dB.
   The track is stereo, the same signal on both channels.

     pop_track p = pop_track_for(rate, from, to, {true, true, -20});
     ffmpeg ... -f lavfi -i <pop_source(p)> ...      the track for an encoder
     pop_write_wav("frames/audio.wav", p)            the track beside PNG frames

   audio_pop.cpp has the track, pop_wav.cpp its WAV file (which needs the
   tool's output files). Marks outside the span [from, to) are left out; a
   span without any is a silent track of its length. */
#ifndef VEXA_ENCODE_AUDIO_POP_H
#define VEXA_ENCODE_AUDIO_POP_H

#include "sequence.h"
#include "show_timeline.h"

#include <cstdint>
#include <string>
#include <vector>

enum : uint32_t { pop_at_ms = 3000, pop_sample_rate = 48000, pop_tone_hz = 1000, pop_channels = 2, pop_ease = 8 };

/* Which tones, and how loud. */
struct tone_marks {
    bool pop, beep;
    double level_dbfs;  // the tones' peak, at most 0
};
static const double default_tone_dbfs = -20;

struct tone_span {
    uint64_t start, end;  // the tone's samples, [start, end)
};

struct pop_track {
    std::vector<tone_span> tones;  // in order, never overlapping
    double level;                  // the peak, of full scale
    uint64_t total;                // samples in the track: the span's frames, in time
};

pop_track pop_track_for(frame_rate rate, uint32_t from, uint32_t to, const tone_marks& marks,
                        const show_timeline& timeline = classic_timeline());
/* An ffmpeg lavfi source description producing the track, stereo 48 kHz. */
std::string pop_source(const pop_track& track);
/* Sample n of the track, from -1 to 1. */
double pop_sample(const pop_track& track, uint64_t n);
/* The track as a 16-bit stereo WAV file, written whole or not at all
   (output_file.h). 0, or 1 after one line naming the file on standard error. */
int pop_write_wav(const char* path, const pop_track& track);

#endif
