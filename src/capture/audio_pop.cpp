/* audio_pop.cpp - see audio_pop.h. The tone is the same in both forms: a
   cosine of amplitude pop_level, so its first sample is already at its peak
   (a sharp onset to sync by). */
#include "audio_pop.h"

#include <cmath>
#include <cstdio>

static const double pop_level = 0.5;  // of full scale: clearly audible, far from clipping

pop_track pop_track_for(frame_rate rate, uint32_t from, uint32_t to)
{
    pop_track p;
    const uint32_t frames = frame_count(from, to, rate);
    const uint32_t first = frame_count(from, pop_at_ms, rate);  // the first frame at or after it
    p.total = frame_sample(frames, rate, pop_sample_rate);
    p.start = p.end = 0;
    if (from <= pop_at_ms && first < frames) {
        p.start = frame_sample(first, rate, pop_sample_rate);
        p.end = frame_sample(first + 1, rate, pop_sample_rate);
    }
    return p;
}

std::string pop_source(const pop_track& p)
{
    char text[256];
    snprintf(text, sizeof text,
             "aevalsrc=exprs=if(gte(n\\,%llu)*lt(n\\,%llu)\\,%g*cos(2*PI*%u*(n-%llu)/%u)\\,0)"
             ":sample_rate=%u:nb_samples=1024,atrim=end_sample=%llu",
             (unsigned long long)p.start, (unsigned long long)p.end, pop_level, (unsigned)pop_tone_hz,
             (unsigned long long)p.start, (unsigned)pop_sample_rate, (unsigned)pop_sample_rate,
             (unsigned long long)p.total);
    return text;
}

double pop_sample(const pop_track& p, uint64_t n)
{
    if (n < p.start || n >= p.end)
        return 0;
    return pop_level * cos(2 * M_PI * pop_tone_hz * (double)(n - p.start) / pop_sample_rate);
}
