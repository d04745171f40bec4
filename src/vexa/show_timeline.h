/* show_timeline.h - when each phase of a show happens, worked out once from
   its timing (show_doc.h) and the number of credit lines.

     show_timeline tl = timeline_for(doc.timing, doc.credits.size());
     if (t >= tl.end_ms) ...                 // the show is over
     int n = count_shown(tl, t);             // the number the leader shows at t

   Every host, the cues, the tones and the transparent leader read it; the
   show keeps its own in my_timeline (vexa.h). With the default timing every
   time is the classic one (show_times.h), to the millisecond.

   Leader: counts from count_from down to count_to, each count_ms long; none
   without a leader. Closing, C = closing_ms long, starting at closing_ms:
     C <= 7000, no credits  every classic offset scales by C / 7000
     C > 7000, no credits   classic up to the last strip; throw at C - 3000,
                            fade at C - 2000
     credits (n lines)      classic up to the throw; the roll 1000 ms after
                            it, L = (n + 2 + 20) * roll_step_ms long; the fade
                            at max(C - 2000, 5000 + L), 2000 ms long
   All times are ms of show time. */
#ifndef VEXA_SHOW_TIMELINE_H
#define VEXA_SHOW_TIMELINE_H

#include "show_doc.h"

#include <cstddef>
#include <cstdint>

enum : uint32_t {
    show_strip_count = 7,     // the strips the closing shows
    roll_step_ms = 400,       // the credits roll moves one line pitch in this time
    roll_lines_in_view = 20,  // line pitches in the frame's height
    credits_max = 500,        // credit lines a show may have
    classic_closing_length_ms = 7000,
    closing_min_ms = 4000,    // a closing's length, closing_ms...
    closing_max_ms = 600000,  // ...within these
};

struct show_timeline {
    // the leader
    int count_from, count_to;      // the numbers shown, count_from first
    uint32_t count_ms;             // each count's length
    show_card card;
    uint32_t counts;               // how many counts; 0 without a leader
    uint32_t pop_ms;               // the count showing 2 starts here...
    bool has_pop;                  // ...when 2 is counted
    // the closing
    uint32_t closing_ms;           // the leader ends, the closing begins
    uint32_t captions_ms;          // first caption (the photo dimmed)
    uint32_t second_caption_ms;    // second caption
    uint32_t strip_ms[show_strip_count];  // each strip pops in here
    uint32_t throw_ms;             // the strips are thrown
    uint32_t roll_ms;              // the credits roll starts (end_ms without credits)
    uint32_t roll_length_ms;       // 0 without credits
    uint32_t roll_lines;           // credit lines, the two captions not counted
    uint32_t fade_ms;              // fade to black...
    uint32_t fade_length_ms;       // ...this long, ending with the show
    uint32_t last_ms;              // the last show time with a picture
    uint32_t end_ms;               // the show is over
};

show_timeline timeline_for(const show_timing& timing, size_t credit_count);
/* The closing's length of a show that ends with its music ("music"),
   music_ms long from its start offset: what the leader leaves of it, within
   closing_min_ms..closing_max_ms. A host decodes at most
   leader_ms(timing) + closing_max_ms of the music to learn music_ms. */
uint32_t closing_for_music(const show_timing& timing, uint32_t music_ms);
uint32_t leader_ms(const show_timing& timing);
/* The classic show's timeline. */
show_timeline classic_timeline(void);

/* Where count i (0 first) starts. */
inline uint32_t count_start(const show_timeline& tl, uint32_t i)
{
    return i * tl.count_ms;
}
/* The number the leader shows at t (t before closing_ms). */
inline int count_shown(const show_timeline& tl, uint32_t t)
{
    return tl.count_from - (int)(t / tl.count_ms);
}
/* How long the card fills the picture at a count's start (flash). */
inline uint32_t flash_ms(const show_timeline& tl)
{
    return tl.count_ms < 100 ? tl.count_ms : 100;
}
/* Credit line k (0 first) is on screen, some of it inside the frame, over
   [start, end): it enters at the frame's lower edge two pitches behind the
   second caption and leaves at the top 21 pitches later. */
inline uint32_t credit_enters_ms(const show_timeline& tl, uint32_t k)
{
    return tl.roll_ms + (k + 2) * roll_step_ms;
}
inline uint32_t credit_leaves_ms(const show_timeline& tl, uint32_t k)
{
    return tl.roll_ms + (k + 3 + roll_lines_in_view) * roll_step_ms;
}

#endif
