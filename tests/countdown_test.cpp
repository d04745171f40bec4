/* countdown_test.cpp - the timeline's phases and the countdown leader, in
   real GL frames.

   The frames are 1024 x 1024 pixels, so one world unit is one pixel and
   world (x, y) is pixel (x, y). The nine number cards are made here: each is
   a 2 x 2 texture in a colour of its own, with a grey bottom-right texel so
   that a card drawn mirrored, flipped or transposed shows it. The shake is
   at most 2 units, so edges are found by scanning rows and columns;
   whole-unit shakes (t = 0, 255) put them at exact pixels. */
#include "gl_harness.h"
#include "vexa.h"

#include <GL/gl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const rgba grey = {128, 128, 128, 255};
const rgba positive_colour[6] = {
    {255, 0, 0, 255}, {0, 255, 0, 255},   {0, 0, 255, 255},
    {255, 255, 0, 255}, {255, 0, 255, 255}, {0, 255, 255, 255},
};
const rgba negative_colour[3] = {{255, 128, 0, 255}, {128, 0, 255, 255}, {0, 128, 255, 255}};

/* The colour of card n (5 down to -3). */
rgba card_colour(int n) { return n >= 0 ? positive_colour[n] : negative_colour[-n - 1]; }

bool same_colour(rgba a, rgba b)
{
    return std::abs(a.r - b.r) < 8 && std::abs(a.g - b.g) < 8 && std::abs(a.b - b.b) < 8;
}

std::string str(rgba p)
{
    return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

void make_card(GLuint texture, rgba c)
{
    const unsigned char texels[2][2][4] = {
        {{(unsigned char)c.r, (unsigned char)c.g, (unsigned char)c.b, 255}, {128, 128, 128, 255}},
        {{(unsigned char)c.r, (unsigned char)c.g, (unsigned char)c.b, 255},
         {(unsigned char)c.r, (unsigned char)c.g, (unsigned char)c.b, 255}},
    };
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glBindTexture(GL_TEXTURE_2D, 0);
}

/* Renders show time t through display(), and reads the frame back. */
void render(uint32_t t)
{
    gl_render(t);
}

/* my_draw alone at show time t, from an identity modelview as the display
   callback leaves it. */
void draw(uint32_t t)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    m_lapsetime = t;
    my_draw();
}

/* A 1024 x 1024 target, the nine cards and nothing else of the show. */
void set_up_frames()
{
    gl_target(1024, 1024);
    m_pause = false;
    m_show_fps = false;
    my_photo = false;
    if (my_tex_positive[0] == 0) {
        glGenTextures(6, my_tex_positive);
        glGenTextures(3, my_tex_negative);
        for (int i = 0; i < 6; ++i)
            make_card(my_tex_positive[i], positive_colour[i]);
        for (int i = 0; i < 3; ++i)
            make_card(my_tex_negative[i], negative_colour[i]);
    }
}

struct run {
    int begin, end;  // pixels begin .. end - 1
    bool operator==(const run& o) const { return begin == o.begin && end == o.end; }
};

std::ostream& operator<<(std::ostream& os, const run& r)
{
    return os << "[" << r.begin << "," << r.end << ")";
}

/* Runs of pixels satisfying pred along row y, or along column x. */
std::vector<run> runs(bool (*pred)(rgba), int x, int y, bool along_row)
{
    std::vector<run> out;
    const int n = along_row ? gl_width() : gl_height();
    int start = -1;
    for (int i = 0; i <= n; ++i) {
        const bool in = i < n && pred(along_row ? gl_pixel(i, y) : gl_pixel(x, i));
        if (in && start < 0)
            start = i;
        if (!in && start >= 0) {
            out.push_back({start, i});
            start = -1;
        }
    }
    return out;
}
std::vector<run> row_runs(bool (*pred)(rgba), int y) { return runs(pred, 0, y, true); }
std::vector<run> column_runs(bool (*pred)(rgba), int x) { return runs(pred, x, 0, false); }

int count_everywhere(bool (*pred)(rgba)) { return gl_count_world(0, 0, 1024, 1024, pred); }

/* The card of the frame just read: where it is and that it is card n, the
   right way up, with nothing else drawn. */
void expect_card(int n, run x_extent, run y_extent)
{
    const std::vector<run> across = row_runs(is_lit, 512);
    const std::vector<run> up = column_runs(is_lit, 512);
    EXPECT_THAT(across, ::testing::ElementsAre(x_extent));
    EXPECT_THAT(up, ::testing::ElementsAre(y_extent));
    EXPECT_EQ(count_everywhere(is_lit), 1004 * 1004);
    const rgba c = card_colour(n);
    for (auto xy : {std::pair<int, int>{256, 256}, {256, 768}, {768, 768}}) {
        const rgba p = gl_pixel(xy.first, xy.second);
        EXPECT_TRUE(same_colour(p, c)) << "card " << n << " at " << xy.first << "," << xy.second
                                       << ": " << str(p) << " wanted " << str(c);
    }
    EXPECT_TRUE(same_colour(gl_pixel(768, 256), grey)) << str(gl_pixel(768, 256));
}

/* The progress bar of the frame just read, wherever the shake put it: a
   white frame 540 x 216 with a border of 4, black inside, and `segments`
   segments 16 x 200 every 20 units from 8 units inside the frame's left edge.
   The 27th reaches 4 units past the frame's right edge. Nothing else drawn. */
void expect_bar(int segments)
{
    const std::vector<run> across = row_runs(is_white, 384);  // through the segments
    ASSERT_FALSE(across.empty());
    const int left = across[0].begin;
    EXPECT_GE(left, 240);
    EXPECT_LE(left, 244);
    std::vector<run> want = {{left, left + 4}};
    for (int i = 0; i < segments && i < 26; ++i)
        want.push_back({left + 8 + 20 * i, left + 24 + 20 * i});
    if (segments == 27)
        want.push_back({left + 528, left + 544});  // last segment over the right border
    else
        want.push_back({left + 536, left + 540});
    EXPECT_EQ(across, want);

    const int x = left + 16;  // through the first segment, or the empty inside
    const std::vector<run> up = column_runs(is_white, x);
    ASSERT_FALSE(up.empty());
    const int bottom = up[0].begin;
    EXPECT_GE(bottom, 274);
    EXPECT_LE(bottom, 278);
    if (segments > 0)
        EXPECT_THAT(up, ::testing::ElementsAre(run{bottom, bottom + 4}, run{bottom + 8, bottom + 208},
                                               run{bottom + 212, bottom + 216}));
    else
        EXPECT_THAT(up, ::testing::ElementsAre(run{bottom, bottom + 4}, run{bottom + 212, bottom + 216}));

    const int border = 540 * 216 - 532 * 208;
    const int white = border + segments * 16 * 200 - (segments == 27 ? 4 * 200 : 0);
    EXPECT_EQ(count_everywhere(is_white), white);
    EXPECT_EQ(count_everywhere(is_lit), white);
}

TEST(Countdown, EachSecondFlashesItsCardForTheFirstHundredMilliseconds)
{
    set_up_frames();
    const struct {
        uint32_t t;
        int card;
    } cases[] = {
        {0, 5},    {99, 5},    {1000, 4}, {2050, 3},  {3099, 2},
        {4000, 1}, {5050, 0},  {6000, -1}, {7099, -2}, {8050, -3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("t = " + std::to_string(c.t));
        render(c.t);
        // Ignore the shake: only the card's identity and size matter here.
        const std::vector<run> across = row_runs(is_lit, 512);
        const std::vector<run> up = column_runs(is_lit, 512);
        ASSERT_EQ(across.size(), 1u);
        ASSERT_EQ(up.size(), 1u);
        expect_card(c.card, across[0], up[0]);
    }
}

TEST(Countdown, ShakeMovesTheWholePicture)
{
    set_up_frames();
    render(0);  // shake (-2, +2)
    expect_card(5, {8, 1012}, {12, 1016});
    render(1);  // shake (0.0078, 1.9843): two units right of t = 0, same rows
    expect_card(5, {10, 1014}, {12, 1016});
    render(255);  // shake (+2, -2), on the bar
    expect_bar(5);
    EXPECT_EQ(row_runs(is_white, 384).front(), (run{244, 248}));
    EXPECT_EQ(column_runs(is_white, 300).front(), (run{274, 278}));
}

TEST(Countdown, ProgressBarFillsSegmentBySegment)
{
    set_up_frames();
    const struct {
        uint32_t t;
        int segments;
    } cases[] = {
        {100, 0},  {101, 1},  {255, 5},  {500, 12}, {993, 26}, {994, 27}, {995, 27},
        {996, 27}, {997, 27}, {998, 27}, {999, 27}, {4100, 0}, {8999, 27},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("t = " + std::to_string(c.t));
        render(c.t);
        expect_bar(c.segments);
    }
}

TEST(Timeline, FirstClosingFrameIsBlackWithoutThePhoto)
{
    set_up_frames();
    render(9000);  // without the photo the first closing frame is black
    EXPECT_EQ(count_everywhere(is_lit), 0);
}

TEST(Timeline, ShakeStaysOnTheModelview)
{
    set_up_frames();
    const struct {
        uint32_t t;
        float dx, dy;
    } cases[] = {
        {0, -2.0f, 2.0f},
        {1, 0.0078431f, 1.9843137f},
        {255, 2.0f, -2.0f},
        {100, -1.4039216f, 0.4313725f},  // low byte 0x64, reversed 0x26
        {9000, 0, 0},
        {12000, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("t = " + std::to_string(c.t));
        draw(c.t);
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_NEAR(m[12], c.dx, 1e-6);
        EXPECT_NEAR(m[13], c.dy, 1e-6);
        EXPECT_EQ(m[14], 0.0f);
        const float identity[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(m[i], identity[i]) << i;
        EXPECT_EQ(m[15], 1.0f);
    }
    glLoadIdentity();
}

TEST(Timeline, LeavesTexturingAndBlendingDisabled)
{
    set_up_frames();
    for (uint32_t t : {0u, 50u, 500u, 8999u, 9000u, 10500u, 12000u, 13500u, 14500u, 15999u}) {
        draw(t);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "t = " << t;
        EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "t = " << t;
    }
    glLoadIdentity();
}

class TimelineDeathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        set_up_frames();
    }
};

TEST_F(TimelineDeathTest, ShowEndsCleanlyAfter15999)
{
    // X traffic leaves errno set; the clean end still prints nothing.
    for (uint32_t t : {16000u, 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE("t = " + std::to_string(t));
        EXPECT_EXIT((errno = EAGAIN, gl_render(t)), ::testing::ExitedWithCode(0), ::testing::IsEmpty());
    }
}

TEST_F(TimelineDeathTest, LastClosingFrameIsDrawn)
{
    // An exit here would end the whole test run with status 0, so the frame
    // is drawn in a child that reports having come back.
    EXPECT_EXIT(
        {
            gl_render(15999);
            fprintf(stderr, "drawn");
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(3), "^drawn$");
}

}  // namespace
