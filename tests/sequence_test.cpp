/* sequence_test.cpp - frame k of a sequence shows from + floor(k * 1000 / fps)
   ms, at rates that divide 1000 and rates that do not, and the sequence
   stops before the show's end. */
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
        EXPECT_EQ(frame_time(c.from, c.k, c.fps), c.time) << c.from << " + frame " << c.k << " at " << c.fps;
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
        const uint32_t n = frame_count(c.from, c.fps);
        EXPECT_EQ(n, c.count);
        if (n > 0) {
            EXPECT_LE(frame_time(c.from, n - 1, c.fps), 15999u);
        }
        EXPECT_GE(frame_time(c.from, n, c.fps), 16000u);
    }
}

}  // namespace
