/* audio_pop.cpp - see audio_pop.h. The tones are the same in both forms:
   the expression ffmpeg evaluates and pop_sample. */
#include "audio_pop.h"

#include <cmath>
#include <cstdio>

pop_track pop_track_for(frame_rate rate, uint32_t from, uint32_t to, const tone_marks& marks,
                        const show_timeline& timeline)
{
    pop_track p;
    const uint32_t frames = frame_count(from, to, rate);
    p.total = frame_sample(frames, rate, pop_sample_rate);
    p.level = pow(10.0, marks.level_dbfs / 20);
    // One tone per count's first frame (two counts may share a frame at a
    // low rate: then the frame has one); the pop's count gets one, whether
    // beeping or not.
    uint64_t last_end = 0;
    for (uint32_t i = 0; i < timeline.counts; ++i) {
        const uint32_t ms = count_start(timeline, i);
        const bool pop = marks.pop && timeline.has_pop && ms == timeline.pop_ms;
        if (!(marks.beep || pop) || ms < from)
            continue;
        const uint32_t k = frame_count(from, ms, rate);  // the first frame at or after it
        if (k >= frames)
            continue;
        const uint64_t start = frame_sample(k, rate, pop_sample_rate);
        if (!p.tones.empty() && start < last_end)
            continue;
        last_end = frame_sample(k + 1, rate, pop_sample_rate);
        p.tones.push_back({start, last_end});
    }
    return p;
}

std::string pop_source(const pop_track& p)
{
    // A sum of one-frame windows, each a cosine from its start, eased in and
    // out over pop_ease samples as pop_sample does.
    std::string tones;
    char term[400];
    for (const tone_span& s : p.tones) {
        const unsigned long long start = s.start, end = s.end;
        snprintf(term, sizeof term,
                 "%sgte(n\\,%llu)*lt(n\\,%llu)*cos(2*PI*%u*(n-%llu)/%u)"
                 "*(0.5-0.5*cos(PI*clip((n+1-%llu)/%u\\,0\\,1)))*(0.5-0.5*cos(PI*clip((%llu-n)/%u\\,0\\,1)))",
                 tones.empty() ? "" : "+", start, end, (unsigned)pop_tone_hz, start, (unsigned)pop_sample_rate, start,
                 (unsigned)pop_ease, end, (unsigned)pop_ease);
        tones += term;
    }
    char text[160];
    snprintf(text, sizeof text, ":channel_layout=stereo:sample_rate=%u:nb_samples=1024,atrim=end_sample=%llu",
             (unsigned)pop_sample_rate, (unsigned long long)p.total);
    char level[40];
    snprintf(level, sizeof level, "%.17g*(", p.level);
    return "aevalsrc=exprs=" + (tones.empty() ? std::string("0") : level + tones + ")") + text;
}

/* 0 to 1 over the first pop_ease samples counted from 1: half a cosine. */
static double ease(double samples)
{
    return 0.5 - 0.5 * cos(M_PI * fmin(fmax(samples / pop_ease, 0.0), 1.0));
}

double pop_sample(const pop_track& p, uint64_t n)
{
    for (const tone_span& s : p.tones)
        if (n >= s.start && n < s.end)
            return p.level * cos(2 * M_PI * pop_tone_hz * (double)(n - s.start) / pop_sample_rate) *
                   ease((double)(n + 1 - s.start)) * ease((double)(s.end - n));
    return 0;
}
