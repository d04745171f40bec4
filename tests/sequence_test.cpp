/* sequence_test.cpp - frame k of a sequence shows from + floor(k * 1000 / fps)
   ms, at rates that divide 1000, rates that do not and ratios; a span stops
   before its end; the rates the command line reads. */
#include "sequence.h"

#include <gtest/gtest.h>

namespace {

TEST(Sequence, FrameTimesAreFlooredFromTheStart)
{
    struct {
        uint32_t from, k;
        int fps;
        uint32_t time;
    } const cases[] = {
        {0, 0, 30, 0},        {0, 1, 30, 33},      {0, 2, 30, 66},     {0, 29, 30, 966},
        {0, 30, 30, 1000},    {0, 1, 7, 142},      {0, 6, 7, 857},     {0, 1, 24, 41},
        {0, 1, 1000, 1},      {9000, 0, 24, 9000}, {9000, 1, 24, 9041}, {0, 479, 30, 15966},
        {100, 3, 60, 150},
    };
    for (const auto& c : cases)
        EXPECT_EQ(frame_time(c.from, c.k, frame_rate{(uint32_t)c.fps, 1}), c.time) << c.from << " + frame " << c.k << " at " << c.fps;
}

TEST(Sequence, TheLastFrameIsTheLastBeforeTheEnd)
{
    struct {
        uint32_t from;
        int fps;
        uint32_t count;
    } const cases[] = {
        {0, 30, 480}, {0, 1, 16}, {0, 7, 112}, {0, 24, 384}, {0, 1000, 16000},
        {15999, 30, 1}, {16000, 30, 0}, {9000, 3, 21}, {15990, 60, 1}, {15983, 60, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "from " << c.from << " at " << c.fps);
        const frame_rate rate = {(uint32_t)c.fps, 1};
        const uint32_t n = frame_count(c.from, 16000, rate);
        EXPECT_EQ(n, c.count);
        if (n > 0) {
            EXPECT_LE(frame_time(c.from, n - 1, rate), 15999u);
        }
        EXPECT_GE(frame_time(c.from, n, rate), 16000u);
    }
}

TEST(Sequence, RatiosAndSpans)
{
    const frame_rate ntsc = {30000, 1001};
    EXPECT_EQ(frame_time(0, 1, ntsc), 33u);
    EXPECT_EQ(frame_time(0, 30, ntsc), 1001u);
    EXPECT_EQ(frame_time(2000, 29, ntsc), 2967u);
    EXPECT_EQ(frame_count(2000, 4000, ntsc), 60u);  // 59.94 frames of 33.4 ms
    EXPECT_EQ(frame_count(2000, 3000, ntsc), 30u);  // the first frame at or after 3000 is frame 30
    EXPECT_EQ(frame_count(0, 9000, frame_rate{24, 1}), 216u);
    EXPECT_EQ(frame_count(9000, 9000, ntsc), 0u);
    EXPECT_EQ(frame_sample(30, ntsc, 48000), 48048u);
    EXPECT_EQ(frame_sample(1, frame_rate{24000, 1001}, 48000), 2002u);
}

TEST(Sequence, RatesFromTheCommandLine)
{
    struct {
        const char* text;
        uint32_t num, den;  // 0, 0: refused
    } const cases[] = {
        {"24", 24, 1},          {"60", 60, 1},          {"1000", 1000, 1},      {"1", 1, 1},
        {"23.976", 24000, 1001}, {"29.97", 30000, 1001}, {"59.94", 60000, 1001}, {"30000/1001", 30000, 1001},
        {"12.5", 25, 2},        {"25.000", 25, 1},      {"50/2", 25, 1},        {"0", 0, 0},
        {"1001", 0, 0},         {"0.5", 0, 0},          {"30/0", 0, 0},         {"", 0, 0},
        {"30fps", 0, 0},        {"-30", 0, 0},          {"29.", 0, 0},          {".5", 0, 0},
        {"1/2/3", 0, 0},        {"+30", 0, 0},          {"30 ", 0, 0},          {"99999999/1", 0, 0},
        {"29.970", 30000, 1001}, {"23.9760", 24000, 1001}, {"059.94", 60000, 1001}, {"2997/100", 2997, 100},
    };
    for (const auto& c : cases) {
        frame_rate rate = {0, 0};
        EXPECT_EQ(parse_frame_rate(c.text, &rate), c.num != 0) << '"' << c.text << '"';
        EXPECT_EQ(rate.num, c.num) << '"' << c.text << '"';
        EXPECT_EQ(rate.den, c.den) << '"' << c.text << '"';
    }
}

}  // namespace
