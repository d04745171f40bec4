/* layout_test.cpp - the show laid out for 16:9, 9:16 and 1:1 frames, in
   real GL frames of the default artwork (tex/): the numeral and the
   captions wholly inside the frame with a margin and centred across it, the
   photo over every pixel, every strip's ink in the frame, and in the tall
   frame none on the captions. */
#include "gl_harness.h"
#include "vexa.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

const int shapes[][2] = {{384, 216}, {216, 384}, {288, 288}};

struct box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // inclusive; empty while x1 < x0
    void add(int x, int y)
    {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
};

class Layout : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        gl_open();
        show_setup setup{};
        setup.tex_dir = "tex";
        setup.photo = true;
        setup.seed = 11;
        ASSERT_EQ(show_init(&setup), 0) << "the artwork in tex/ must load";
    }
    static void TearDownTestSuite() { my_photo = false; }

    static void render(int w, int h, uint32_t t, bool photo)
    {
        gl_target(w, h);
        my_photo = photo;
        show_frame(t, w, h, stage_adapt);
        gl_read();
    }

    /* The pixels where ink(x, y) holds, and with r also at the eight
       points r pixels around (thin lines and their crossings drop out). */
    static box ink_box(const std::function<bool(int, int)>& ink, int r = 0)
    {
        box b;
        for (int y = 0; y < gl_height(); ++y)
            for (int x = 0; x < gl_width(); ++x) {
                bool all = true;
                for (int dy = -r; dy <= r && all; dy += r ? r : 1)
                    for (int dx = -r; dx <= r && all; dx += r ? r : 1)
                        all = ink(x + dx, y + dy);
                if (all)
                    b.add(x, y);
            }
        return b;
    }

    /* The box is not empty, lies margin pixels inside the frame and is
       centred across it. */
    static void expect_whole_and_centred(const char* what, const box& b)
    {
        const int w = gl_width(), h = gl_height(), margin = std::min(w, h) / 40;
        ASSERT_LE(b.x0, b.x1) << what << ": no ink";
        EXPECT_GE(b.x0, margin) << what;
        EXPECT_GE(b.y0, margin) << what;
        EXPECT_LT(b.x1, w - margin) << what;
        EXPECT_LT(b.y1, h - margin) << what;
        EXPECT_NEAR((b.x0 + b.x1) / 2.0, (w - 1) / 2.0, w * 0.03) << what << " is off the middle";
    }
};

/* The numeral is the card's only thick dark ink: the rings and the gate's
   edge are thinner than the look-around radius, the bars are black. */
TEST_F(Layout, TheNumeralIsWholeAndCentred)
{
    for (const auto& s : shapes)
        for (const uint32_t t : {50u, 5050u, 8050u}) {
            SCOPED_TRACE(::testing::Message() << s[0] << "x" << s[1] << " at " << t << " ms");
            render(s[0], s[1], t, false);
            const auto dark = [](int x, int y) {
                const rgba p = gl_pixel(x, y);  // r -1 outside the frame
                return p.r >= 16 && std::max({p.r, p.g, p.b}) < 70;
            };
            expect_whole_and_centred("numeral", ink_box(dark, std::min(s[0], s[1]) / 50));
        }
}

TEST_F(Layout, BothCaptionsAreWholeAndCentred)
{
    for (const auto& s : shapes) {
        SCOPED_TRACE(::testing::Message() << s[0] << "x" << s[1]);
        render(s[0], s[1], 10050, false);  // the first caption alone
        std::vector<bool> first((size_t)s[0] * s[1]);
        for (int y = 0; y < gl_height(); ++y)
            for (int x = 0; x < gl_width(); ++x)
                first[(size_t)y * gl_width() + x] = is_lit(gl_pixel(x, y));
        expect_whole_and_centred("first caption", ink_box([](int x, int y) { return is_lit(gl_pixel(x, y)); }));
        render(s[0], s[1], 11050, false);  // and the second
        expect_whole_and_centred("second caption", ink_box([&](int x, int y) {
                                     return is_lit(gl_pixel(x, y)) && !first[(size_t)y * gl_width() + x];
                                 }));
    }
}

TEST_F(Layout, ThePhotoCoversEveryPixel)
{
    for (const auto& s : shapes) {
        render(s[0], s[1], 9500, true);
        int bare = 0;
        for (int y = 0; y < s[1]; ++y)
            for (int x = 0; x < s[0]; ++x)
                bare += gl_pixel(x, y).a != 255;  // the clear colour's alpha is 0
        EXPECT_EQ(bare, 0) << s[0] << "x" << s[1];
    }
}

/* Strip i pops in at 11600 + 100 i ms: the frame changes, inside it. */
TEST_F(Layout, EveryStripHasInkInTheFrame)
{
    for (const auto& s : shapes)
        for (int i = 0; i < 7; ++i) {
            render(s[0], s[1], 11500 + 100 * i, false);
            std::vector<rgba> before;
            for (int y = 0; y < s[1]; ++y)
                for (int x = 0; x < s[0]; ++x)
                    before.push_back(gl_pixel(x, y));
            render(s[0], s[1], 11600 + 100 * i, false);
            int changed = 0;
            for (int y = 0; y < s[1]; ++y)
                for (int x = 0; x < s[0]; ++x)
                    changed += gl_pixel(x, y).g != before[(size_t)y * s[0] + x].g;
            EXPECT_GT(changed, 20) << s[0] << "x" << s[1] << ": strip " << i;
        }
}

/* Held upright, the strips at rest (12900 ms) leave the captions' pixels
   as the captions alone drew them (11500 ms). */
TEST_F(Layout, TallStripsStayOffTheCaptions)
{
    render(216, 384, 11500, false);
    std::vector<rgba> captions;
    for (int y = 0; y < gl_height(); ++y)
        for (int x = 0; x < gl_width(); ++x)
            captions.push_back(gl_pixel(x, y));
    const box lit = ink_box([](int x, int y) { return is_lit(gl_pixel(x, y)); });
    ASSERT_LE(lit.x0, lit.x1) << "no captions";
    render(216, 384, 12900, false);
    int covered = 0, elsewhere = 0;
    for (int y = 0; y < gl_height(); ++y)
        for (int x = 0; x < gl_width(); ++x) {
            const bool changed = gl_pixel(x, y).g != captions[(size_t)y * gl_width() + x].g;
            (x >= lit.x0 && x <= lit.x1 && y >= lit.y0 && y <= lit.y1 ? covered : elsewhere) += changed;
        }
    EXPECT_EQ(covered, 0) << "strips drawn over the captions";
    EXPECT_GT(elsewhere, 500) << "no strips";
}

/* The window draws the classic picture, or with --adapt the laid-out one. */
TEST_F(Layout, TheWindowLaysOutOnlyWhenAsked)
{
    auto pixels = [] {
        std::vector<int> v;
        for (int y = 0; y < gl_height(); ++y)
            for (int x = 0; x < gl_width(); ++x)
                v.push_back(gl_pixel(x, y).g);
        return v;
    };
    my_photo = false;
    std::vector<int> drawn[2], windowed[2];
    for (const stage_mode mode : {stage_crop, stage_adapt}) {
        gl_target(384, 216);
        show_frame(11050, 384, 216, mode);
        gl_read();
        drawn[mode == stage_adapt] = pixels();
        m_stage_mode = mode;
        gl_target(384, 216);  // reshape
        gl_render(11050);     // display
        windowed[mode == stage_adapt] = pixels();
    }
    m_stage_mode = stage_crop;
    EXPECT_EQ(windowed[0], drawn[0]);
    EXPECT_EQ(windowed[1], drawn[1]);
    EXPECT_NE(drawn[0], drawn[1]);
}

}  // namespace
