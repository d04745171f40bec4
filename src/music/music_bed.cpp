/* music_bed.cpp - see music.h. The loudness is libebur128's (EBU R128 /
   ITU-R BS.1770 integrated loudness with its gating), read once on the
   looped music exactly as the show plays it, before the fades: one gain,
   the same whichever span of the show is written afterwards. */
#include "music.h"

#include <ebur128.h>

#include <cmath>

/* The looped (or once-played) music, show_frames long. */
static void lay_out(const music_source& src, bool loop, uint64_t show_frames, std::vector<float>* out)
{
    out->assign(show_frames * music_channels, 0.0f);
    if (src.frames == 0)
        return;
    const uint64_t period = src.frames;
    for (uint64_t at = 0; at < show_frames; at += period) {
        const uint64_t n = show_frames - at < period ? show_frames - at : period;
        std::copy(src.samples.begin(), src.samples.begin() + n * music_channels, out->begin() + at * music_channels);
        if (!loop || !src.ended)
            break;  // once through; a source not ended already covers the show
    }
}

static double loudness_of(const std::vector<float>& samples, uint64_t frames)
{
    ebur128_state* st = ebur128_init(music_channels, music_rate, EBUR128_MODE_I);
    if (!st)
        return -HUGE_VAL;
    ebur128_add_frames_float(st, samples.data(), (size_t)frames);
    double lufs = -HUGE_VAL;
    if (ebur128_loudness_global(st, &lufs) != EBUR128_SUCCESS)
        lufs = -HUGE_VAL;
    ebur128_destroy(&st);
    return lufs;
}

/* Linear fades: in from 0 at the show's first sample, out to 0 at its last. */
static void fade(std::vector<float>* samples, uint64_t frames, uint32_t in_ms, uint32_t out_ms)
{
    const uint64_t in = music_sample_at(in_ms), out = music_sample_at(out_ms);
    for (uint64_t n = 0; n < in && n < frames; ++n)
        for (uint32_t c = 0; c < music_channels; ++c)
            (*samples)[n * music_channels + c] *= (float)((double)n / in);
    for (uint64_t k = 0; k < out && k < frames; ++k) {  // k samples before the last
        const uint64_t n = frames - 1 - k;
        for (uint32_t c = 0; c < music_channels; ++c)
            (*samples)[n * music_channels + c] *= (float)((double)k / out);
    }
}

void music_make_bed(const music_source& src, const show_sound& sound, uint32_t show_ms, music_bed* bed)
{
    bed->frames = music_sample_at(show_ms);
    lay_out(src, sound.loop, bed->frames, &bed->samples);
    bed->loudness = loudness_of(bed->samples, bed->frames);
    // Silence stays silence: there is no loudness to bring anywhere.
    bed->gain_db = std::isfinite(bed->loudness) ? sound.music_level - bed->loudness : 0;
    const float gain = (float)pow(10.0, bed->gain_db / 20);
    for (float& s : bed->samples)
        s *= gain;
    music_limit(bed->samples.data(), bed->frames, music_true_peak_db);
    fade(&bed->samples, bed->frames, sound.fade_in_ms, sound.fade_out_ms);
}
