/* music.h - a music bed under the show: a file decoded through ffmpeg,
   started at an offset, looped, brought to a loudness, held under a true
   peak, faded in and out. No GL, no sound device: the hosts (vexa-capture's
   encoders, the window program's player) take the finished samples.

     music_source src;
     if (music_decode("vexa-capture", sound.music, sound.music_start_ms, show_ms, &src) != music_ok)
         ...                                    // one line naming the file said
     music_bed bed;
     music_make_bed(src, sound, show_ms, &bed); // bed.samples: the whole show's music
     ... bed.samples[2 * n], bed.samples[2 * n + 1] at show sample n ...

   Samples are 48 kHz stereo float, interleaved, sample n of the bed playing
   at show time n / 48 ms. music_decode (music_decode.cpp) reads only the
   named regular file, at most start_ms + want_ms of it, within a bound of
   time; music_make_bed (music_bed.cpp) does the rest in the order a
   listener hears it measured: loop, one gain to the asked integrated
   loudness (EBU R128, libebur128) measured on the show's whole music before
   the fades, the true-peak limiter (music_limiter.cpp), then the fades,
   the fade-out ending with the show. */
#ifndef VEXA_MUSIC_H
#define VEXA_MUSIC_H

#include "show_doc.h"

#include <cstdint>
#include <string>
#include <vector>

enum : uint32_t { music_rate = 48000, music_channels = 2 };
/* The ceiling the limiter holds, dBTP. */
static const double music_true_peak_db = -1;

/* The decoded music from the start offset on: at most want_ms of it. */
struct music_source {
    std::vector<float> samples;  // interleaved stereo
    uint64_t frames = 0;         // samples.size() / 2
    bool ended = false;          // the file ended before want_ms: frames is all there is
};

enum music_status {
    music_ok = 0,
    music_refused = 1,     // the file is not usable music: one line said
    music_no_decoder = 2,  // ffmpeg cannot be run: one line said
};

/* Decodes path from start_ms on, want_ms of it (less when the file ends
   first). Messages are "<program>: <path>: <why>". */
music_status music_decode(const char* program, const std::string& path, uint32_t start_ms, uint32_t want_ms,
                          music_source* out);
/* How long the music plays from its start offset, ms (rounded down): what a
   show ending with its music lasts. */
uint32_t music_length_ms(const music_source& src);

struct music_bed {
    std::vector<float> samples;  // interleaved stereo, the show's whole length
    uint64_t frames = 0;
    double loudness = 0;         // LUFS of the looped music before the gain; -HUGE_VAL when silent
    double gain_db = 0;          // the one gain applied
};

/* The show's music, show_ms long (sound: level, fades, loop). */
void music_make_bed(const music_source& src, const show_sound& sound, uint32_t show_ms, music_bed* bed);
/* The sample of the bed at show time ms. */
inline uint64_t music_sample_at(uint32_t ms) { return (uint64_t)ms * music_rate / 1000; }

/* The limiter alone (music_limiter.cpp): gains interleaved stereo samples
   down where their true peak (4x oversampled) would pass ceiling_db dBTP,
   looking ahead so that the gain is down before a peak arrives and
   recovering smoothly after it. */
void music_limit(float* samples, uint64_t frames, double ceiling_db);

#endif
