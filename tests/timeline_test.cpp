/* timeline_test.cpp - the show's phase times for a few documents' timing. */
#include "show_timeline.h"

#include <gtest/gtest.h>

namespace {

show_timing timing(int from, int to, uint32_t count_ms, bool leader = true, uint32_t closing = 7000,
                   show_card card = card_flash)
{
    show_timing t;
    t.count_from = from;
    t.count_to = to;
    t.count_ms = count_ms;
    t.leader = leader;
    t.closing_ms = closing;
    t.card = card;
    return t;
}

struct row {
    const char* name;
    show_timing timing;
    size_t credits;
    // counts, pop (0: none), closing, captions, second, first strip, last strip, throw, roll, fade, end
    uint32_t counts, pop, closing, captions, second, strip0, strip6, throw_at, roll, fade, end;
};

const row rows[] = {
    {"classic", show_timing(), 0, 9, 3000, 9000, 10000, 11000, 11600, 12200, 13000, 16000, 14000, 16000},
    {"10 to 1", timing(10, 1, 1000), 0, 10, 8000, 10000, 11000, 12000, 12600, 13200, 14000, 17000, 15000, 17000},
    {"3 to 1 hold", timing(3, 1, 500, true, 7000, card_hold), 0, 3, 500, 1500, 2500, 3500, 4100, 4700, 5500,
     8500, 6500, 8500},
    {"no leader", timing(5, -3, 1000, false), 0, 0, 0, 0, 1000, 2000, 2600, 3200, 4000, 7000, 5000, 7000},
    {"count 1 to -5, no 2", timing(1, -5, 1000), 0, 7, 0, 7000, 8000, 9000, 9600, 10200, 11000, 14000, 12000,
     14000},
    {"short closing", timing(5, -3, 1000, true, 3500), 0, 9, 3000, 9000, 9500, 10000, 10300, 10600, 11000,
     12500, 11500, 12500},
    {"long closing", timing(5, -3, 1000, true, 20000), 0, 9, 3000, 9000, 10000, 11000, 11600, 12200, 26000,
     29000, 27000, 29000},
    // 30 lines: the roll is (30 + 2 + 20) * 400 = 20800 ms from 14000; fade at 9000 + 5000 + 20800.
    {"30 credits", show_timing(), 30, 9, 3000, 9000, 10000, 11000, 11600, 12200, 13000, 14000, 34800, 36800},
    {"30 credits, long closing", timing(5, -3, 1000, true, 60000), 30, 9, 3000, 9000, 10000, 11000, 11600, 12200,
     13000, 14000, 67000, 69000},
};

TEST(timeline, phases)
{
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const show_timeline tl = timeline_for(r.timing, r.credits);
        EXPECT_EQ(tl.counts, r.counts);
        EXPECT_EQ(tl.has_pop, r.pop != 0);
        if (r.pop) {
            EXPECT_EQ(tl.pop_ms, r.pop);
        }
        EXPECT_EQ(tl.closing_ms, r.closing);
        EXPECT_EQ(tl.captions_ms, r.captions);
        EXPECT_EQ(tl.second_caption_ms, r.second);
        EXPECT_EQ(tl.strip_ms[0], r.strip0);
        EXPECT_EQ(tl.strip_ms[6], r.strip6);
        EXPECT_EQ(tl.throw_ms, r.throw_at);
        EXPECT_EQ(tl.roll_ms, r.roll);
        EXPECT_EQ(tl.fade_ms, r.fade);
        EXPECT_EQ(tl.end_ms, r.end);
        EXPECT_EQ(tl.last_ms, r.end - 1);
        EXPECT_EQ(tl.fade_ms + tl.fade_length_ms, r.end);
        EXPECT_EQ(tl.roll_length_ms, r.credits ? (r.credits + 22) * 400 : 0);
        if (r.counts) {  // the last count ends where the closing starts
            EXPECT_EQ(count_shown(tl, 0), r.timing.count_from);
            EXPECT_EQ(count_shown(tl, tl.closing_ms - 1), r.timing.count_to);
        }
        if (r.credits) {  // the last line has left the frame when the roll ends
            EXPECT_EQ(credit_leaves_ms(tl, (uint32_t)r.credits - 1), tl.roll_ms + tl.roll_length_ms);
        }
    }
}

// A show ending with its music: the closing is what the leader leaves of it, 4000..600000 ms.
TEST(timeline, closing_for_music)
{
    const struct {
        show_timing timing;
        uint32_t music_ms, closing;
    } cases[] = {
        {show_timing(), 20000, 11000},          // 9 s of leader
        {timing(10, 1, 1000), 25500, 15500},    // 10 s of leader
        {show_timing(), 10000, 4000},           // the shortest closing
        {timing(5, -3, 1000, false), 700000, 600000},  // no leader; the longest closing
    };
    for (const auto& c : cases)
        EXPECT_EQ(closing_for_music(c.timing, c.music_ms), c.closing) << c.music_ms;
}

}  // namespace
