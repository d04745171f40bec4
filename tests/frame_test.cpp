/* frame_test.cpp - the projection, the bitmap text and the overlays, in real
   GL frames, and the frame-rate counter's counting rules. */
#include "gl_harness.h"
#include "tool.h"
#include "vexa.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

/* Frames from 9000 to 9999 ms without the photo draw nothing of the show. */
const uint32_t empty_frame_time = 9500;

void reset_overlays()
{
    m_pause = false;
    m_show_fps = false;
    m_framecount = 0;
    m_prevsecond = 0;
    m_fps = 0;
    my_photo = false;
}

void draw_world_box(float x0, float y0, float x1, float y1)
{
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    box(x0, y0, x1, y1);
    gl_read();
}

int count_lit(int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += is_lit(gl_pixel(x, y));
    return n;
}

int count_lit_everywhere() { return count_lit(0, 0, gl_width(), gl_height()); }

TEST(Projection, LandscapeShowsTheFullWidthAndTheMiddleRows)
{
    gl_target(1024, 768);  // one unit per pixel; world y 128 to 896
    draw_world_box(100, 200, 300, 400);
    EXPECT_TRUE(is_white(gl_pixel(100, 72)));
    EXPECT_TRUE(is_white(gl_pixel(299, 271)));
    EXPECT_TRUE(is_black(gl_pixel(99, 150)));
    EXPECT_TRUE(is_black(gl_pixel(300, 150)));
    EXPECT_TRUE(is_black(gl_pixel(200, 71)));
    EXPECT_TRUE(is_black(gl_pixel(200, 272)));
    EXPECT_EQ(count_lit_everywhere(), 200 * 200);

    draw_world_box(0, 0, 1024, 1024);  // the square is cropped top and bottom
    EXPECT_EQ(count_lit_everywhere(), 1024 * 768);
}

TEST(Projection, PortraitShowsBandsAboveAndBelowTheSquare)
{
    gl_target(768, 1024);  // 0.75 pixel per unit; the square spans rows 128 to 895
    draw_world_box(0, 0, 1024, 1024);
    for (int x : {0, 383, 767}) {
        EXPECT_TRUE(is_black(gl_pixel(x, 127))) << x;
        EXPECT_TRUE(is_white(gl_pixel(x, 128))) << x;
        EXPECT_TRUE(is_white(gl_pixel(x, 895))) << x;
        EXPECT_TRUE(is_black(gl_pixel(x, 896))) << x;
    }
    EXPECT_EQ(count_lit_everywhere(), 768 * 768);

    draw_world_box(512, 512, 768, 768);
    EXPECT_EQ(count_lit_everywhere(), 192 * 192);
    EXPECT_TRUE(is_white(gl_pixel(384, 512)));
    EXPECT_TRUE(is_black(gl_pixel(383, 512)));
}

TEST(Projection, ZeroSizedWindowKeepsTheLastProjection)
{
    gl_target(1024, 768);
    reshape(0, 768);
    reshape(1024, 0);
    draw_world_box(100, 200, 300, 400);
    EXPECT_EQ(count_lit_everywhere(), 200 * 200);
    EXPECT_TRUE(is_white(gl_pixel(100, 72)));
}

TEST(Overlays, PauseCaptionStartsJustLeftOfTheCentre)
{
    reset_overlays();
    gl_target(1024, 768);
    m_pause = true;
    gl_render(empty_frame_time);
    m_pause = false;
    // Helvetica 10 glyphs sit on the baseline at world y 512 (row 384) and
    // start at x 467; nothing else is drawn.
    const int near = count_lit(467, 380, 520, 395);
    EXPECT_GT(near, 20);
    EXPECT_EQ(count_lit_everywhere(), near);
    EXPECT_EQ(count_lit(0, 0, 467, 768), 0);
}

TEST(Overlays, NoOverlayNoPixel)
{
    reset_overlays();
    gl_target(1024, 768);
    gl_render(empty_frame_time);
    EXPECT_EQ(count_lit_everywhere(), 0);
}

TEST(Overlays, CounterShowsOnFourThreeScreens)
{
    reset_overlays();
    gl_target(1024, 768);  // world y 150 is row 22
    m_show_fps = true;
    gl_render(empty_frame_time);
    const int near = count_lit(100, 18, 160, 34);
    EXPECT_GT(near, 20);
    EXPECT_EQ(count_lit_everywhere(), near);
    reset_overlays();
}

TEST(Overlays, CounterFallsOutsideSixteenNineScreensButThePauseCaptionDoesNot)
{
    reset_overlays();
    gl_target(1024, 576);  // world y 224 to 800: y 150 is below the view
    m_show_fps = true;
    gl_render(empty_frame_time);
    EXPECT_EQ(count_lit_everywhere(), 0);
    m_pause = true;
    gl_render(empty_frame_time);
    EXPECT_GT(count_lit(467, 284, 520, 300), 20);
    reset_overlays();
}

TEST(FrameCounter, FirstSecondReadsZeroAndTheChangingFrameClosesTheCount)
{
    reset_overlays();
    for (uint32_t t : {0u, 100u, 400u, 999u}) {
        m_lapsetime = t;
        calc_fps();
        EXPECT_EQ(m_fps, 0);
    }
    EXPECT_EQ(m_framecount, 4);
    m_lapsetime = 1003;  // this frame counts into the second just ended
    calc_fps();
    EXPECT_EQ(m_fps, 5);
    EXPECT_EQ(m_framecount, 0);
    m_lapsetime = 1500;
    calc_fps();
    m_lapsetime = 2001;
    calc_fps();
    EXPECT_EQ(m_fps, 2);
}

TEST(FrameCounter, CountsOnShowTimeNotWallTime)
{
    reset_overlays();
    m_lapsetime = 4200;  // a step into a new second closes the count at once
    calc_fps();
    EXPECT_EQ(m_fps, 1);
    for (int i = 0; i < 10; ++i)  // redraws while paused stay in the second
        calc_fps();
    EXPECT_EQ(m_fps, 1);
    m_lapsetime = 4300;  // a 100 ms step within the second does not close it
    calc_fps();
    EXPECT_EQ(m_fps, 1);
    m_lapsetime = 3300;  // stepping back a second does
    calc_fps();
    EXPECT_EQ(m_fps, 12);
    EXPECT_EQ(m_prevsecond, 3u);
}

TEST(FrameCounter, DrawnTextIsTheFormattedCount)
{
    reset_overlays();
    gl_target(1024, 768);
    m_show_fps = true;
    m_fps = 0;
    m_prevsecond = empty_frame_time / 1000;
    gl_render(empty_frame_time);  // "0 fps"
    const int zero = count_lit_everywhere();
    m_fps = 123456;
    m_framecount = 0;
    m_lapsetime = empty_frame_time;
    m_prevsecond = empty_frame_time / 1000;
    gl_render(empty_frame_time);  // "123456 fps": five more digits
    EXPECT_GT(count_lit_everywhere(), zero + 5 * 8);
    EXPECT_GT(count_lit(130, 18, 180, 34), 0);
    reset_overlays();
}

}  // namespace
