/* show_timeline.cpp - the one function that places a show's phases in time
   (see show_timeline.h). The classic offsets come from show_times.h. */
#include "show_timeline.h"
#include "show_times.h"

/* The classic closing's offsets from its start. */
enum : uint32_t {
    at_captions = show_captions_ms - show_closing_ms,               // 1000
    at_second_caption = show_second_caption_ms - show_closing_ms,   // 2000
    at_first_strip = show_first_strip_ms - show_closing_ms,         // 2600
    at_throw = show_throw_ms - show_closing_ms,                     // 4000
    at_fade = show_fade_ms - show_closing_ms,                       // 5000
    fade_length = show_end_ms - show_fade_ms,                       // 2000
    roll_after_throw = 1000,
};

show_timeline timeline_for(const show_timing& timing, size_t credit_count)
{
    show_timeline tl = {};
    tl.count_from = timing.count_from;
    tl.count_to = timing.count_to;
    tl.count_ms = timing.count_ms;
    tl.card = timing.card;
    tl.counts = timing.leader ? (uint32_t)(timing.count_from - timing.count_to + 1) : 0;
    tl.has_pop = timing.leader && timing.count_from >= 2 && timing.count_to <= 2;
    tl.pop_ms = tl.has_pop ? count_start(tl, (uint32_t)(timing.count_from - 2)) : 0;
    const uint32_t c0 = tl.closing_ms = tl.counts * tl.count_ms;

    const uint32_t C = timing.closing_ms;
    // Classic offsets, scaled down for a short closing (never for credits).
    const bool scaled = credit_count == 0 && C < classic_closing_length_ms;
    auto at = [&](uint32_t offset) {
        return c0 + (scaled ? (uint32_t)((uint64_t)offset * C / classic_closing_length_ms) : offset);
    };
    tl.captions_ms = at(at_captions);
    tl.second_caption_ms = at(at_second_caption);
    for (uint32_t i = 0; i < show_strip_count; ++i)
        tl.strip_ms[i] = at(at_first_strip + i * show_strip_step_ms);
    tl.roll_lines = (uint32_t)credit_count;
    uint32_t length;  // the closing's
    if (credit_count > 0) {
        tl.throw_ms = at(at_throw);
        tl.roll_ms = tl.throw_ms + roll_after_throw;
        tl.roll_length_ms = (tl.roll_lines + 2 + roll_lines_in_view) * roll_step_ms;
        const uint32_t after_roll = at_fade + tl.roll_length_ms;
        const uint32_t fade_at = C - fade_length > after_roll ? C - fade_length : after_roll;
        tl.fade_ms = c0 + fade_at;
        tl.fade_length_ms = fade_length;
        length = fade_at + fade_length;
    } else if (C > classic_closing_length_ms) {
        tl.throw_ms = c0 + C - (at_fade - at_throw) - fade_length;
        tl.fade_ms = c0 + C - fade_length;
        tl.fade_length_ms = fade_length;
        length = C;
    } else {
        tl.throw_ms = at(at_throw);
        tl.fade_ms = at(at_fade);
        tl.fade_length_ms = c0 + C - tl.fade_ms;
        length = C;
    }
    tl.end_ms = c0 + length;
    tl.last_ms = tl.end_ms - 1;
    if (credit_count == 0)
        tl.roll_ms = tl.end_ms;
    return tl;
}

uint32_t leader_ms(const show_timing& timing)
{
    return timing.leader ? (uint32_t)(timing.count_from - timing.count_to + 1) * timing.count_ms : 0;
}

uint32_t closing_for_music(const show_timing& timing, uint32_t music_ms)
{
    const uint32_t leader = leader_ms(timing);
    const uint32_t left = music_ms > leader ? music_ms - leader : 0;
    return left < closing_min_ms ? closing_min_ms : left > closing_max_ms ? closing_max_ms : left;
}

show_timeline classic_timeline(void)
{
    return timeline_for(show_timing(), 0);
}
