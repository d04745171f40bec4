/* stage_test.cpp - the layout for a frame's size (stage_for), without GL:
   the classic stage at 4:3, every element inside the view at every aspect,
   the projection showing exactly the view, no jumps as the aspect changes
   (nor beside 4:3), bars beyond the designed range, the tall layout's ring,
   strip size and clear captions, and the strips' resting places inside the
   frame over many seeds. */
#include "art_sizes.h"
#include "vexa.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

struct rect {
    double x0, y0, x1, y1;
};

rect of(const float r[2][2])
{
    return {r[0][0], r[0][1], r[1][0], r[1][1]};
}

rect placed(const placement& p, rect r)
{
    return {r.x0 * p.k + p.dx, r.y0 * p.k + p.dy, r.x1 * p.k + p.dx, r.y1 * p.k + p.dy};
}

/* inner lies inside outer with margin on every side. */
::testing::AssertionResult inside(const char* what, rect inner, rect outer, double margin)
{
    if (inner.x0 >= outer.x0 + margin && inner.y0 >= outer.y0 + margin && inner.x1 <= outer.x1 - margin &&
        inner.y1 <= outer.y1 - margin)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << " {" << inner.x0 << ", " << inner.y0 << ", " << inner.x1 << ", "
                                         << inner.y1 << "} not inside {" << outer.x0 << ", " << outer.y0 << ", "
                                         << outer.x1 << ", " << outer.y1 << "} with a margin of " << margin;
}

const rect bar_frame = {242, 276, 782, 492};
const rect caption_box[2] = {{328, 408, 693, 644}, {312, 176, 1008, 278}};

TEST(Stage, FourToThreeIsTheClassicPictureToTheBit)
{
    for (const int w : {1024, 640, 4, 1600, 2048}) {
        const int h = w * 3 / 4;
        const stage adapted = stage_for(w, h, stage_adapt), classic = stage_for(w, h, stage_crop);
        EXPECT_EQ(std::memcmp(&adapted, &classic, sizeof adapted), 0) << w << "x" << h;
        EXPECT_EQ(classic.frustum[3], (float)h / (float)w);
        EXPECT_FALSE(adapted.clipped);
    }
    const stage s = stage_for(1024, 768, stage_adapt);
    EXPECT_TRUE(inside("classic card", of(s.card), {10, 10, 1014, 1014}, 0));
    EXPECT_TRUE(inside("classic strips", of(s.strips), {256, 256, 768, 768}, 0));
}

/* Within 9:21 to 21:9 every element is where the frame shows it: the view
   of the frame's shape, the backdrop covering it, and so does the card
   unless its paper fills the frame; the numeral, bar and captions inside
   with a margin, the captions centred. */
TEST(Stage, EveryAspectHoldsTheWholeComposition)
{
    const int sizes[][2] = {{1920, 1080}, {1080, 1920}, {1080, 1080}, {390, 844}, {2100, 900},
                            {900, 2100},  {1000, 999},  {999, 1000},  {1366, 768}, {768, 1366}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1]);
        const stage s = stage_for(size[0], size[1], stage_adapt);
        EXPECT_FALSE(s.clipped);
        const rect view = of(s.view);
        EXPECT_NEAR((view.x1 - view.x0) / (view.y1 - view.y0), (double)size[0] / size[1], 1e-4);
        const double margin = 0.05 * std::min(view.x1 - view.x0, view.y1 - view.y0);
        EXPECT_TRUE(inside("view", view, of(s.backdrop), 0));
        const rect card = of(s.card);
        const double cx = (card.x0 + card.x1) / 2, cy = (card.y0 + card.y1) / 2, side = card.x1 - card.x0;
        const rect numeral = {cx - side * card_numeral_width / 2, cy - side * card_numeral_height / 2,
                              cx + side * card_numeral_width / 2, cy + side * card_numeral_height / 2};
        EXPECT_TRUE(inside("numeral", numeral, view, margin));
        if (!s.card_fill) {
            EXPECT_TRUE(inside("view", view, card, -10.5));
        }
        EXPECT_TRUE(inside("bar", placed(s.bar, bar_frame), view, margin));
        for (int i = 0; i < 2; ++i) {
            const rect c = placed(s.caption[i], caption_box[i]);
            EXPECT_TRUE(inside("caption", c, view, margin)) << i;
            EXPECT_NEAR((c.x0 + c.x1) / 2, (view.x0 + view.x1) / 2, 1) << "caption " << i << " is not centred";
        }
    }
}

/* The projection shows exactly the view, across and up and down, so the
   picture is never squashed. */
TEST(Stage, TheFrustumShowsExactlyTheView)
{
    const int sizes[][2] = {{1920, 1080}, {1080, 1920}, {1080, 1080}, {1024, 768}, {1025, 768}, {390, 844}, {4000, 1000}};
    for (const auto& size : sizes)
        for (const stage_mode mode : {stage_adapt, stage_crop, stage_fit}) {
            SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1] << " mode " << mode);
            const stage s = stage_for(size[0], size[1], mode);
            // The eye is 512 units from the picture, the frustum given 1 unit from it.
            EXPECT_NEAR(512 + 512 * s.frustum[0], s.view[0][0], 1e-3);
            EXPECT_NEAR(512 + 512 * s.frustum[1], s.view[1][0], 1e-3);
            EXPECT_NEAR(512 + 512 * s.frustum[2], s.view[0][1], 1e-3);
            EXPECT_NEAR(512 + 512 * s.frustum[3], s.view[1][1], 1e-3);
            EXPECT_NEAR((s.view[1][0] - s.view[0][0]) / (s.view[1][1] - s.view[0][1]),
                        (double)s.viewport[2] / s.viewport[3], 1e-4);
        }
}

/* Everything a stage holds that moves the picture, in comparable units. */
int stage_values(const stage& s, float* out)
{
    const float* groups[] = {&s.view[0][0], &s.backdrop[0][0], &s.card[0][0], &s.strips[0][0]};
    int n = 0;
    for (const float* g : groups)
        for (int i = 0; i < 4; ++i)
            out[n++] = g[i];
    for (const placement* p : {&s.bar, &s.caption[0], &s.caption[1]})
        for (const float v : {p->k * 1000, p->dx, p->dy})
            out[n++] = v;
    out[n++] = s.strip_k * 1000;
    out[n++] = s.strips_under * 1000;
    return n;
}

/* Beside 4:3, where the classic stage gives way to the adapted one, a pixel
   more or less moves nothing by more than a unit. */
TEST(Stage, TheLayoutIsContinuousBesideFourToThree)
{
    float classic[40], beside[40];
    const int n = stage_values(stage_for(1024, 768, stage_adapt), classic);
    for (const auto& size : {std::pair{1025, 768}, {1023, 768}, {1024, 767}, {1024, 769}, {4097, 3072}}) {
        stage_values(stage_for(size.first, size.second, stage_adapt), beside);
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(beside[i], classic[i], 1.0) << "value " << i << " at " << size.first << "x" << size.second;
    }
}

/* Small steps of the frame's shape move nothing far: no layout jumps. */
TEST(Stage, TheLayoutChangesSmoothlyWithTheAspect)
{
    auto values = stage_values;
    float before[40], after[40];
    stage previous = stage_for(4286, 10000, stage_adapt);  // just above 9:21
    for (int w = 4287; w <= 23333; ++w) {                  // to 21:9
        const stage s = stage_for(w, 10000, stage_adapt);
        const int n = values(previous, before);
        values(s, after);
        for (int i = 0; i < n; ++i)
            ASSERT_LT(std::fabs(after[i] - before[i]), 6.0f) << "value " << i << " jumps from " << w - 1 << " to " << w;
        previous = s;
    }
}

/* Texels of the artwork per frame pixel, for the card, the photo and the
   captions (strips are never enlarged), at the art's sides given. */
struct sharpness {
    double card, photo, caption;
};

sharpness texels_per_pixel(const stage& s, double card_side, double photo_side, double sheet_side)
{
    const double pixels_per_unit = s.viewport[2] / (double)(s.view[1][0] - s.view[0][0]);
    const double k = std::max(s.caption[0].k, s.caption[1].k);
    return {card_side / ((s.card[1][0] - s.card[0][0]) * pixels_per_unit),
            photo_side / ((s.backdrop[1][0] - s.backdrop[0][0]) * pixels_per_unit),
            sheet_side / caption_sheet_size / (k * pixels_per_unit)};
}

/* A 1080p frame in any layout is no softer than the classic 1024x768
   picture was with the 512-pixel cards and 1024-pixel photo and sheets. */
TEST(Stage, TheArtworkIsAsSharpAt1080pAsTheClassicPictureWas)
{
    const sharpness before = texels_per_pixel(stage_for(1024, 768, stage_crop), 512, 1024, 1024);
    for (const auto& size : {std::pair{1920, 1080}, {1080, 1920}, {1080, 1080}, {1440, 1080}}) {
        SCOPED_TRACE(::testing::Message() << size.first << "x" << size.second);
        const sharpness now =
            texels_per_pixel(stage_for(size.first, size.second, stage_adapt), art_card_side, art_photo_side, art_sheet_side);
        EXPECT_GE(now.card, before.card);
        EXPECT_GE(now.photo, before.photo);
        EXPECT_GE(now.caption, before.caption);
    }
}

/* Beyond 9:21 and 21:9 the edge layout is fitted with bars; degenerate
   frames still get a stage of at least one pixel. */
TEST(Stage, BeyondTheRangeTheEdgeLayoutBetweenBars)
{
    const struct {
        int w, h;
        double aspect;
    } cases[] = {{4000, 1000, 21.0 / 9}, {1000, 4000, 9.0 / 21}, {2, 2000, 0}, {2000, 2, 0}, {1, 1, 1}, {0, -5, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h);
        const stage s = stage_for(c.w, c.h, stage_adapt);
        const int* v = s.viewport;
        EXPECT_GE(v[0], 0);
        EXPECT_GE(v[1], 0);
        EXPECT_GE(v[2], 1);
        EXPECT_GE(v[3], 1);
        EXPECT_LE(v[0] + v[2], std::max(c.w, 1));
        EXPECT_LE(v[1] + v[3], std::max(c.h, 1));
        if (c.aspect > 0) {
            EXPECT_NEAR((double)v[2] / v[3], c.aspect, 0.01);
        }
        for (const float f : s.frustum)
            EXPECT_TRUE(std::isfinite(f));
    }
    EXPECT_TRUE(stage_for(4000, 1000, stage_adapt).clipped);
}

/* A strip's half extents at rest, turned by its angle, at the stage's size. */
std::pair<double, double> strip_half_size(int i, const stage& s)
{
    const double a = my_string2_strings_angle[i] * M_PI / 180, w = my_string2_strings_pos[i][1][0],
                 h = my_string2_strings_pos[i][1][1];
    return {(std::fabs(w * std::cos(a)) + std::fabs(h * std::sin(a))) * s.strip_k,
            (std::fabs(w * std::sin(a)) + std::fabs(h * std::cos(a))) * s.strip_k};
}

/* Held upright (9:16 and taller), the card's ring and ticks are whole across
   the frame, the strips' letters have as many pixels as in the 16:9 frame of
   the same short side, and every strip rests wholly under the captions.
   Frames 1:1 and wider keep the strips as they were. */
TEST(Stage, TallFramesKeepTheRingWholeAndTheStripsLargeAndOffTheCaptions)
{
    const double wide_pixels = 1080 / 768.0;  // pixels per unit of a strip at 1920x1080
    for (const auto& size : {std::pair{1080, 1920}, {390, 844}, {900, 2100}, {720, 1280}}) {
        SCOPED_TRACE(::testing::Message() << size.first << "x" << size.second);
        my_stage = stage_for(size.first, size.second, stage_adapt);
        const rect view = of(my_stage.view), card = of(my_stage.card);
        const double ticks = (card.x1 - card.x0) * 496 / 512;  // the ticks' circle, outside the ring
        EXPECT_LE(ticks, view.x1 - view.x0) << "the ring is cut at the sides";
        const double pixels = my_stage.strip_k * size.first / (view.x1 - view.x0);
        EXPECT_GE(pixels * 1080 / size.first, wide_pixels - 1e-6) << "strips smaller than at 16:9";
        const double under = placed(my_stage.caption[1], caption_box[1]).y0;
        for (uint32_t seed = 0; seed < 2000; seed += 7) {
            layout_strips(seed);
            for (int i = 0; i < 7; ++i) {
                float rest[2];
                strip_rest(i, rest);
                ASSERT_LE(rest[1] + strip_half_size(i, my_stage).second, under)
                    << "seed " << seed << " strip " << i << " lies on the captions";
            }
        }
    }
    for (const auto& size : {std::pair{1920, 1080}, {1080, 1080}, {1000, 999}}) {
        const stage s = stage_for(size.first, size.second, stage_adapt);
        EXPECT_EQ(s.strip_k, 1.0f) << size.first << "x" << size.second;
        EXPECT_EQ(s.strips_under, 0.0f) << size.first << "x" << size.second;
    }
    my_stage = stage_for(1024, 768, stage_crop);
}

/* Over many seeds every strip comes to rest inside the frame, with a
   margin, at each shape tried (wide, tall, square, 4:3, a phone). */
TEST(Stage, StripsRestInsideTheFrameForAnySeed)
{
    for (const auto& size : {std::pair{1920, 1080}, {1080, 1920}, {1080, 1080}, {1024, 768}, {390, 844}}) {
        my_stage = stage_for(size.first, size.second, stage_adapt);
        const rect view = of(my_stage.view);
        const double margin = 0.1 * std::min(view.x1 - view.x0, view.y1 - view.y0);
        for (uint32_t seed = 0; seed < 2000; seed += 7) {
            layout_strips(seed);
            for (int i = 0; i < 7; ++i) {
                float rest[2];
                strip_rest(i, rest);
                ASSERT_TRUE(inside("strip", {rest[0], rest[1], rest[0], rest[1]}, view, margin))
                    << size.first << "x" << size.second << " seed " << seed << " strip " << i;
            }
        }
    }
    my_stage = stage_for(1024, 768, stage_crop);
}

}  // namespace
