/* audio_pop.h - the leader's sync pop: a sound track, silent but for a
   1 kHz tone lasting exactly one frame, starting with the first frame whose
   show time is at least pop_at_ms (when the "2" card comes up), the way
   film and video leaders mark sync.

     pop_track p = pop_track_for(rate, from, to);
     ffmpeg ... -f lavfi -i <pop_source(p)> ...      the track for an encoder
     pop_write_wav("frames/audio.wav", p)            the track beside PNG frames

   audio_pop.cpp has the track, pop_wav.cpp its WAV file (which needs the
   tool's output files). A span that does not hold pop_at_ms (from <= pop_at_ms < to) gets a
   silent track of its length. */
#ifndef VEXA_CAPTURE_AUDIO_POP_H
#define VEXA_CAPTURE_AUDIO_POP_H

#include "sequence.h"

#include <cstdint>
#include <string>

enum : uint32_t { pop_at_ms = 3000, pop_sample_rate = 48000, pop_tone_hz = 1000 };

struct pop_track {
    uint64_t start, end;  // the tone's samples, [start, end); start == end for none
    uint64_t total;       // samples in the track: the span's frames, in time
};

pop_track pop_track_for(frame_rate rate, uint32_t from, uint32_t to);
/* An ffmpeg lavfi source description producing the track, mono 48 kHz. */
std::string pop_source(const pop_track& track);
/* Sample n of the track, from -1 to 1. */
double pop_sample(const pop_track& track, uint64_t n);
/* The track as a 16-bit mono WAV file, written whole or not at all
   (output_file.h). 0, or 1 after one line naming the file on standard error. */
int pop_write_wav(const char* path, const pop_track& track);

#endif
