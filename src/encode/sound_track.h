/* sound_track.h - an output's sound: the leader's tones (audio_pop.h) and
   the show's music bed (music.h) mixed, over the output's span
   [from, to). The tones keep their level; the music is the bed's samples
   from the span's first show time on, to the sample.

     sound_track s = sound_track_for(rate, from, to, marks, &bed);  // bed NULL: tones alone
     sound_sample(s, n, c)                   sample n of channel c, -1..1 (clipped)
     int fd = sound_memfd(s, &input);        ffmpeg reads it as raw f32le from input
     sound_write_wav("frames/audio.wav", s)  16-bit stereo WAV, written whole or not at all

   A file a child reads by name is a memory file of this process, named by
   its /proc path: nothing on disk, and no descriptor left open in any other
   child (it is close-on-exec). */
#ifndef VEXA_ENCODE_SOUND_TRACK_H
#define VEXA_ENCODE_SOUND_TRACK_H

#include "audio_pop.h"
#include "music.h"

#include <string>

struct sound_track {
    pop_track tones;
    const music_bed* music = nullptr;  // none: the tones alone
    uint64_t music_from = 0;           // the bed's sample at the span's start
    uint64_t total = 0;                // samples (frames) in the track
};

sound_track sound_track_for(frame_rate rate, uint32_t from, uint32_t to, const tone_marks& marks,
                            const music_bed* music, const show_timeline& timeline = classic_timeline());
double sound_sample(const sound_track& s, uint64_t n, unsigned channel);
/* A memory file holding the track as interleaved stereo f32le, and the name
   another process opens it by: the descriptor (close it after the child
   ends), or -1 after one line on standard error. */
int sound_memfd(const sound_track& s, std::string* input);
/* The track as a 16-bit stereo WAV file (pop_wav.cpp), written whole or
   not at all. 0, or 1 after one line naming the file. */
int sound_write_wav(const char* path, const sound_track& s);

#endif
