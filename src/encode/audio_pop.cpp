/* audio_pop.cpp - see audio_pop.h. The tones are the same in both forms:
   the expression ffmpeg evaluates and pop_sample. */
#include "audio_pop.h"
#include "show_times.h"

#include <cmath>
#include <cstdio>

pop_track pop_track_for(frame_rate rate, uint32_t from, uint32_t to, const tone_marks& marks)
{
    pop_track p;
    const uint32_t frames = frame_count(from, to, rate);
    p.total = frame_sample(frames, rate, pop_sample_rate);
    p.level = pow(10.0, marks.level_dbfs / 20);
    // One tone per second's first frame (rates are at least 1 fps, so no two
    // seconds share one); the pop's second gets one, whether beeping or not.
    for (uint32_t ms = 0; ms < show_closing_ms; ms += 1000) {
        if (!(marks.beep || (marks.pop && ms == pop_at_ms)) || ms < from)
            continue;
        const uint32_t k = frame_count(from, ms, rate);  // the first frame at or after it
        if (k >= frames)
            continue;
        p.tones.push_back({frame_sample(k, rate, pop_sample_rate), frame_sample(k + 1, rate, pop_sample_rate)});
    }
    return p;
}

std::string pop_source(const pop_track& p)
{
    std::string tones;  // a sum of one-frame windows, each a cosine from its start
    char term[160];
    for (const tone_span& s : p.tones) {
        snprintf(term, sizeof term, "%sgte(n\\,%llu)*lt(n\\,%llu)*cos(2*PI*%u*(n-%llu)/%u)", tones.empty() ? "" : "+",
                 (unsigned long long)s.start, (unsigned long long)s.end, (unsigned)pop_tone_hz,
                 (unsigned long long)s.start, (unsigned)pop_sample_rate);
        tones += term;
    }
    char text[160];
    snprintf(text, sizeof text, ":channel_layout=stereo:sample_rate=%u:nb_samples=1024,atrim=end_sample=%llu",
             (unsigned)pop_sample_rate, (unsigned long long)p.total);
    char level[40];
    snprintf(level, sizeof level, "%.17g*(", p.level);
    return "aevalsrc=exprs=" + (tones.empty() ? std::string("0") : level + tones + ")") + text;
}

double pop_sample(const pop_track& p, uint64_t n)
{
    for (const tone_span& s : p.tones)
        if (n >= s.start && n < s.end)
            return p.level * cos(2 * M_PI * pop_tone_hz * (double)(n - s.start) / pop_sample_rate);
    return 0;
}
