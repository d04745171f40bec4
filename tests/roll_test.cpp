/* roll_test.cpp - a document's leader and credits roll in real GL frames of
   artwork painted for it (vexa_art, into a temporary directory): the number
   each count shows, the bar's segments, every credit line inside the frame
   at its time, in order, none cut at the sides of a 9:16 frame; and the
   look of each: the credits' colour and outline, the numerals' ink, the
   bar's alpha. */
#include "gl_harness.h"
#include "vexa.h"
#include "vexa_art.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool dark(rgba p)
{
    return p.r < 60 && p.g < 60 && p.b < 60;
}

std::string art_dir;
const int lines = 30;

/* Line k's name: "W" repeated k % 4 + 1 times, so the order shows in the width. */
std::string name_of(int k)
{
    return std::string((size_t)(k % 4 + 1), 'W');
}

show_doc doc_of(int from, int to, uint32_t count_ms, show_card card, int credits)
{
    show_doc d;
    d.timing.count_from = from;
    d.timing.count_to = to;
    d.timing.count_ms = count_ms;
    d.timing.card = card;
    d.aspect_w = 9;
    d.aspect_h = 16;
    for (int k = 0; k < credits; ++k)
        d.credits.push_back({"", name_of(k)});
    return d;
}

class Roll : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char dir[] = "/tmp/roll_test.XXXXXX";
        ASSERT_TRUE(mkdtemp(dir));
        art_dir = std::string(dir) + "/art";
        static const show_doc painted = doc_of(12, 9, 1000, card_flash, lines);
        art_texts texts;
        texts.doc = &painted;
        ASSERT_EQ(art_write(art_dir.c_str(), &texts, "roll_test"), 0);
        gl_open();
    }
    static void TearDownTestSuite()
    {
        show_release();
        const std::string top = art_dir.substr(0, art_dir.size() - 4);
        EXPECT_EQ(system(("rm -rf '" + top + "'").c_str()), 0);
    }

    void load(const show_doc& d, const std::string& dir = art_dir)
    {
        show_release();
        show_setup setup{};
        setup.tex_dir = dir.c_str();
        setup.seed = 3;
        setup.still = true;
        setup.doc = &d;
        ASSERT_EQ(show_init(&setup), 0);
    }
    static void render(int w, int h, uint32_t t)
    {
        gl_target(w, h);
        ASSERT_TRUE(show_frame(t, w, h, stage_adapt));
        gl_read();
    }
    /* Pixel column of world x, row of world y, in the last frame's stage. */
    static int px(float wx)
    {
        const float(*v)[2] = my_stage.view;
        return (int)((wx - v[0][0]) / (v[1][0] - v[0][0]) * (float)gl_width());
    }
    static int py(float wy)
    {
        const float(*v)[2] = my_stage.view;
        return (int)((wy - v[0][1]) / (v[1][1] - v[0][1]) * (float)gl_height());
    }
    /* Runs of pixels along row y from x0 to x1 where pred holds. */
    static int runs(int y, int x0, int x1, bool (*pred)(rgba))
    {
        int n = 0;
        bool in = false;
        for (int x = x0; x < x1; ++x) {
            const bool p = pred(gl_pixel(x, y));
            n += p && !in;
            in = p;
        }
        return n;
    }
    /* The columns with ink in rows y0..y1 (exclusive): first and last, -1 for none. */
    static void ink_span(int y0, int y1, int* first, int* last)
    {
        *first = *last = -1;
        for (int x = 0; x < gl_width(); ++x)
            for (int y = y0 > 0 ? y0 : 0; y < y1 && y < gl_height(); ++y)
                if (is_lit(gl_pixel(x, y))) {
                    if (*first < 0)
                        *first = x;
                    *last = x;
                    break;
                }
    }
};

/* The characters of the numeral on the card: runs of columns, each wider
   than the cross-hair, with a numeral's worth of dark ink in the numeral's
   box (the cross-hair's horizontal line and the rings add too little). */
int glyphs_on_card(void)
{
    const float(*c)[2] = my_stage.card;
    const float(*v)[2] = my_stage.view;
    const float cx = (c[0][0] + c[1][0]) * 0.5f, cy = (c[0][1] + c[1][1]) * 0.5f;
    const float w = (c[1][0] - c[0][0]) * (float)card_numeral_width * 0.5f;
    const float h = (c[1][1] - c[0][1]) * (float)card_numeral_height * 0.5f;
    auto col = [&](float wx) { return (int)((wx - v[0][0]) / (v[1][0] - v[0][0]) * (float)gl_width()); };
    auto row = [&](float wy) { return (int)((wy - v[0][1]) / (v[1][1] - v[0][1]) * (float)gl_height()); };
    const int y0 = row(cy - h), y1 = row(cy + h), min_dark = (y1 - y0) / 20;
    int n = 0, run = 0;
    for (int x = col(cx - w); x <= col(cx + w) + 1; ++x) {
        int d = 0;
        for (int y = y0; y < y1 && x <= col(cx + w); ++y)
            d += dark(gl_pixel(x, y));
        if (d >= min_dark) {
            ++run;
            continue;
        }
        n += run > 8;
        run = 0;
    }
    return n;
}

TEST_F(Roll, leader_counts_with_cards_and_numerals)
{
    struct {
        int from, to;
        uint32_t count_ms, t;
        int glyphs;  // dark runs across the numeral's middle
    } cases[] = {
        {12, 9, 1000, 50, 2},      // "12" from the atlas
        {12, 9, 1000, 3050, 1},    // "9"
        {10, 1, 1000, 50, 2},      // "10"
        {10, 1, 1000, 9050, 1},    // "1", the classic card
        {-7, -12, 250, 5 * 250 + 20, 3},  // "-12"
        {-7, -12, 250, 20, 2},     // "-7"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("count " + std::to_string(c.from) + " to " + std::to_string(c.to) + " at " + std::to_string(c.t));
        load(doc_of(c.from, c.to, c.count_ms, card_flash, 0));
        render(1024, 768, c.t);
        EXPECT_EQ(glyphs_on_card(), c.glyphs);
        if (getenv("ROLL_SAVE"))
            gl_save_ppm("/tmp/roll_" + std::to_string(c.from) + "_" + std::to_string(c.t) + ".ppm");
    }
}

bool white(rgba p)
{
    return p.r > 200 && p.g > 200 && p.b > 200;
}

TEST_F(Roll, bar_fills_through_the_count)
{
    // Flash: the classic bar at 1024x768; hold: over the card's lower edge, at 16:9.
    struct {
        uint32_t count_ms;
        show_card card;
        uint32_t t;
        int segments;  // 16 wide every 20 over 524 units: ceil(p * 524 / 20)
    } cases[] = {
        {1000, card_flash, 550, 14},       // p = 450 / 900
        {1000, card_flash, 1999, 27},      // the count's end: full
        {500, card_hold, 250, 14},         // p = 250 / 500
        {500, card_hold, 1000 + 125, 7},   // the third count, a quarter in
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.t));
        load(doc_of(3, 1, c.count_ms, c.card, 0));
        if (c.card == card_hold)
            render(960, 540, c.t);  // the card covers the wide view: the bar on its visible part
        else
            render(1024, 768, c.t);
        const placement b = c.card == card_hold ? hold_bar_placement() : placement{1, 0, 0};
        const float y = 384 * b.k + b.dy;  // the bar's middle row, from inside its frame's border
        EXPECT_EQ(runs(py(y), px(248 * b.k + b.dx), px(776 * b.k + b.dx), white), c.segments);
        EXPECT_GT(py(276 * b.k + b.dy), 0) << "the bar's frame inside the picture";
        if (c.card == card_hold) {
            EXPECT_GE(glyphs_on_card(), 1) << "the card stays under the bar";
        }
    }
}

TEST_F(Roll, every_credit_in_order_inside_a_9_16_frame)
{
    const show_doc d = doc_of(5, -3, 1000, card_flash, lines);
    load(d);
    const int w = 360, h = 640;
    int widths[4] = {0, 0, 0, 0};
    for (uint32_t k = 0; k < (uint32_t)lines; ++k) {
        SCOPED_TRACE("line " + std::to_string(k + 1));
        // Mid-way through its passage line k's row is the view's middle band.
        const uint32_t t = (credit_enters_ms(my_timeline, k) + credit_leaves_ms(my_timeline, k)) / 2;
        render(w, h, t);
        int first, last;
        ink_span(h / 2 - h / 40, h / 2 + h / 40, &first, &last);
        ASSERT_GE(first, 0) << "no ink in the middle at " << t << " ms";
        EXPECT_GT(first, 2) << "cut at the left side";
        EXPECT_LT(last, w - 3) << "cut at the right side";
        EXPECT_NEAR(first + last, w, 4) << "centred";
        const int width = last - first + 1;
        if (k < 4) {
            widths[k] = width;
        } else {  // the same name as line k - 4, so the same width: the lines come in order
            EXPECT_NEAR(width, widths[k % 4], 2);
        }
    }
    EXPECT_LT(widths[0], widths[1]);
    EXPECT_LT(widths[1], widths[2]);
    EXPECT_LT(widths[2], widths[3]);
    // The last line leaves at the top when its cue ends, and the roll is empty.
    const uint32_t end = credit_leaves_ms(my_timeline, lines - 1);
    int first, last;
    render(w, h, end - 200);  // half the row in, its capitals' lower half
    ink_span(h - h / 40, h, &first, &last);
    EXPECT_GE(first, 0) << "the last line at the upper edge before its cue ends";
    render(w, h, end + 40);
    ink_span(0, h, &first, &last);
    EXPECT_EQ(first, -1) << "ink after the last line has left";
}

/* A look for the leader and the roll: yellow credits outlined in blue, red
   numerals, a green bar at half alpha. */
TEST_F(Roll, the_look_colours_the_credits_the_numerals_and_the_bar)
{
    show_doc d = doc_of(12, 9, 1000, card_flash, 8);
    d.look.credits.has_colour = true;
    d.look.credits.colour = {255, 255, 0, 255};
    d.look.credits.outline = {2, {0, 0, 255, 255}};
    d.look.has_card_ink = true;
    d.look.card_ink = {255, 0, 0, 255};
    d.look.bar = {0, 255, 0, 128};
    const std::string dir = art_dir.substr(0, art_dir.size() - 4) + "/look";
    art_texts texts;
    texts.doc = &d;
    ASSERT_EQ(art_write(dir.c_str(), &texts, "roll_test"), 0);
    load(d, dir);

    // Line 3 mid-way through its passage, across the view's middle.
    render(540, 960, (credit_enters_ms(my_timeline, 2) + credit_leaves_ms(my_timeline, 2)) / 2);
    int yellow = 0, blue = 0;
    for (int y = 480 - 24; y < 480 + 24; ++y)
        for (int x = 0; x < 540; ++x) {
            const rgba p = gl_pixel(x, y);
            yellow += p.r > 200 && p.g > 200 && p.b < 80;
            blue += p.b > 150 && p.r < 80 && p.g < 80;
        }
    EXPECT_GT(yellow, 200) << "the letters in the credits' colour";
    EXPECT_GT(blue, 200) << "their outline";

    // "12" from the atlas, in the card's ink.
    render(1024, 768, 50);
    const float(*c)[2] = my_stage.card;
    int red = 0;
    for (int y = py(c[0][1]); y < py(c[1][1]); ++y)
        for (int x = px(c[0][0]); x < px(c[1][0]); ++x) {
            const rgba p = gl_pixel(x, y);
            red += p.r > 180 && p.g < 60 && p.b < 60;
        }
    EXPECT_GT(red, 2000) << "the numerals in the card's ink";

    // The bar over the black of the flash leader: half its green, each pixel
    // once, also where the last segment meets the frame's side.
    for (uint32_t t : {550u, 1999u}) {
        SCOPED_TRACE(t);
        render(1024, 768, t);
        const float frame_and_segment[][2] = {{244, 384}, {258, 384}, {512, 278}};
        for (const auto& at : frame_and_segment) {
            const rgba p = gl_pixel(px(at[0]), py(at[1]));
            EXPECT_NEAR(p.g, 128, 3) << "at " << at[0] << "," << at[1];
            EXPECT_LT(p.r + p.b, 6);
        }
        const rgba inside = gl_pixel(px(248), py(384));
        EXPECT_LT(inside.r + inside.g + inside.b, 6) << "the black inside";
    }
    const rgba meet = gl_pixel(px(780), py(384));
    EXPECT_NEAR(meet.g, 128, 3) << "the last segment over the frame's side";
    show_release();
}

}  // namespace
