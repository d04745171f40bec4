/* capture_match_test.cpp - vexa-capture draws what the windowed program
   draws.

   For a frame of every phase of the show, vexa-capture (surfaceless EGL, run
   with DISPLAY unset) writes a PNG, and the same show time, size and strip
   seed is rendered here through the program's own display callback in the
   GLX window's framebuffer (gl_harness), which is the windowed program's
   drawing path. The two must agree within one step per channel. Both load
   the real artwork from tex/ in the build directory. The contact sheet is
   checked against single frames of the tool itself. */
#include "gl_harness.h"
#include "tool.h"
#include "vexa.h"

#include <png.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <iterator>
#include <vector>

namespace {

const uint32_t seed = 4242;
const std::string work_dir = "capture_match.tmp";

struct picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // top row first
};

bool read_png(const std::string& path, picture* out)
{
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    out->width = (int)image.width;
    out->height = (int)image.height;
    out->rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, NULL, out->rgb.data(), 0, NULL) != 0;
}

void make_work_dir()
{
    const std::string command = "mkdir -p " + work_dir;
    ASSERT_EQ(std::system(command.c_str()), 0);
}

/* Runs vexa-capture with the given options, with no X display. */
bool run_capture(const std::string& options)
{
    const std::string command = std::string("env -u DISPLAY -u VEXA_PHOTO ") + VEXA_CAPTURE + " " + options;
    return std::system(command.c_str()) == 0;
}

/* Runs vexa-capture for one frame, with no X display, and reads the result. */
picture capture(uint32_t t, int width, int height, bool photo, const std::string& layout = "")
{
    const std::string out = work_dir + "/frame-" + std::to_string(t) + "-" + std::to_string(width) +
                            (photo ? "-photo" : "") + layout + ".png";
    const std::string options = "--time " + std::to_string(t) + " --size " + std::to_string(width) + "x" +
                                std::to_string(height) + " --seed " + std::to_string(seed) +
                                (photo ? " --photo" : "") + (layout.empty() ? "" : " --" + layout) + " --out " + out;
    picture p;
    EXPECT_TRUE(run_capture(options)) << options;
    EXPECT_TRUE(read_png(out, &p)) << out;
    return p;
}

class CaptureMatch : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        make_work_dir();
        gl_open();
        // The photo is loaded too; my_photo chooses per frame.
        show_setup setup = {};
        setup.tex_dir = "tex";
        setup.photo = true;
        setup.seed = seed;
        ASSERT_EQ(show_init(&setup), 0) << "the artwork in tex/ must load";
    }

    /* Renders t both ways and compares every pixel: the window's classic
       picture, which is vexa-capture's default at 4:3 and --crop elsewhere. */
    static void expect_same(uint32_t t, int width, int height, bool photo)
    {
        const picture offscreen = capture(t, width, height, photo, width * 3 == height * 4 ? "" : "crop");
        ASSERT_EQ(offscreen.width, width);
        ASSERT_EQ(offscreen.height, height);
        my_photo = photo;
        gl_target(width, height);
        gl_render(t);
        my_photo = false;
        int differing = 0, worst = 0, first_x = -1, first_y = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const rgba w = gl_pixel(x, height - 1 - y);
                const unsigned char* o = &offscreen.rgb[((size_t)y * width + x) * 3];
                const int d = std::max({std::abs(w.r - o[0]), std::abs(w.g - o[1]), std::abs(w.b - o[2])});
                if (d > 1 && differing++ == 0) {
                    first_x = x;
                    first_y = y;
                }
                worst = std::max(worst, d);
            }
        EXPECT_EQ(differing, 0) << "t = " << t << ": " << differing << " pixels differ by more than one step, "
                                << "at most " << worst << ", first at (" << first_x << ", " << first_y
                                << ") from the top";
        if (differing)
            gl_save_ppm(work_dir + "/windowed-" + std::to_string(t) + ".ppm");
    }
};

TEST_F(CaptureMatch, CountdownCardAndProgressBar)
{
    expect_same(1050, 1024, 768, false);  // card 4, shaken
    expect_same(7730, 1024, 768, false);  // the bar part filled
}

TEST_F(CaptureMatch, ClosingCaptionsOverThePhoto)
{
    expect_same(9050, 1024, 768, true);   // the photo alone
    expect_same(11050, 1024, 768, true);  // dimmed photo, both captions
    expect_same(11050, 1024, 768, false);
}

TEST_F(CaptureMatch, StripsAtRestInFlightAndFading)
{
    expect_same(12500, 1024, 768, false);
    expect_same(13400, 1024, 768, false);
    expect_same(14700, 1024, 768, true);
}

TEST_F(CaptureMatch, OtherShapesOfFrame)
{
    expect_same(13400, 800, 600, false);
    expect_same(12500, 640, 360, false);  // sixteen by nine: the picture is cropped top and bottom
}

/* --fit: a 16:9 frame holds the whole 4:3 picture (both captions, strips
   in flight) between black bars: its middle is the 4:3 frame of that size
   (to a few values of rounding on the strips' tilted edges), nothing drawn
   ever reaches the bars. A 4:3 frame is unchanged by it. */
TEST(Fit, TheWholePictureBetweenBlackBars)
{
    make_work_dir();
    for (const uint32_t t : {11050u, 13400u, 13800u, 14700u}) {
        SCOPED_TRACE(::testing::Message() << "t = " << t);
        const picture wide = capture(t, 640, 360, false, "fit"), picture43 = capture(t, 480, 360, false);
        ASSERT_EQ(wide.width, 640);
        ASSERT_EQ(picture43.width, 480);
        int lit_bars = 0, differing = 0;
        for (int y = 0; y < 360; ++y)
            for (int x = 0; x < 640; ++x)
                for (int c = 0; c < 3; ++c) {
                    const int v = wide.rgb[((size_t)y * 640 + x) * 3 + c];
                    if (x < 80 || x >= 560)
                        lit_bars += v != 0;
                    else
                        differing += std::abs(v - picture43.rgb[((size_t)y * 480 + x - 80) * 3 + c]) > 1;
                }
        EXPECT_EQ(lit_bars, 0);
        EXPECT_LE(differing, 20);  // the rasteriser's sub-pixel rounding moved by 80 pixels
    }
    const picture fitted = capture(11050, 320, 240, false, "fit"), plain = capture(11050, 320, 240, false);
    EXPECT_EQ(fitted.rgb, plain.rgb);
}

/* The contact sheet's cell for 12050 ms is that frame shrunk four times,
   box-averaged; below it, its label in light grey on the dark background. */
TEST(ContactSheet, CellsAreTheFramesShrunkAndLabelled)
{
    make_work_dir();
    ASSERT_TRUE(run_capture("--sheet --size 256x192 --seed 9 --out " + work_dir + "/sheet.png"));
    ASSERT_TRUE(run_capture("--time 12050 --size 256x192 --seed 9 --out " + work_dir + "/cell.png"));
    picture sheet, frame;
    ASSERT_TRUE(read_png(work_dir + "/sheet.png", &sheet));
    ASSERT_TRUE(read_png(work_dir + "/cell.png", &frame));
    const int tw = 64, th = 48, margin = 8, label = 22;  // a quarter of 256x192
    ASSERT_EQ(sheet.width, 4 * tw + 5 * margin);
    ASSERT_EQ(sheet.height, 4 * (th + label) + 5 * margin);
    const int x0 = margin, y0 = margin + 3 * (th + label + margin);  // row 3, column 0
    int differing = 0;
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx)
                        sum += frame.rgb[((size_t)(4 * y + dy) * 256 + 4 * x + dx) * 3 + c];
                const int cell = sheet.rgb[((size_t)(y0 + y) * sheet.width + x0 + x) * 3 + c];
                differing += cell != (sum + 8) / 16;
            }
    EXPECT_EQ(differing, 0);
    int lettering = 0, other = 0;
    for (int y = y0 + th; y < y0 + th + label; ++y)
        for (int x = x0; x < x0 + tw; ++x) {
            const unsigned char* p = &sheet.rgb[((size_t)y * sheet.width + x) * 3];
            lettering += p[0] == 220 && p[1] == 220 && p[2] == 220;
            other += !(p[0] == 220 || p[0] == 24);
        }
    EXPECT_GT(lettering, 100);  // "12050 ms": seven glyphs drawn twice their size
    EXPECT_EQ(other, 0);
}

}  // namespace

/* The artwork handed to show_init in memory (the page makes it so) shows
   every card, the photo, the captions and the strips as from tex/. */
TEST(ShowInit, ArtworkInMemoryShowsAsFromItsDirectory)
{
    gl_open();
    gl_target(256, 192);
    const char* const names[12] = {"5.bmp",  "4.bmp",  "3.bmp",     "2.bmp",      "1.bmp",      "0.bmp",
                                   "-1.bmp", "-2.bmp", "-3.bmp", "photo.bmp", "string.bmp", "string2.bmp"};
    std::vector<std::vector<unsigned char>> files(12);
    show_image images[12];
    for (int i = 0; i < 12; ++i) {
        FILE* f = fopen((std::string("tex/") + names[i]).c_str(), "rb");
        ASSERT_NE(f, nullptr) << names[i];
        int c;
        while ((c = fgetc(f)) != EOF)
            files[i].push_back((unsigned char)c);
        fclose(f);
        images[i] = {files[i].data(), files[i].size()};
    }
    const uint32_t times[] = {50, 1050, 2050, 3050, 4050, 5050, 6050, 7050, 8050, 9050, 11050, 12500};
    std::vector<std::vector<rgba>> frames[2];
    for (int from_memory = 0; from_memory < 2; ++from_memory) {
        show_setup setup{};
        setup.tex_dir = "tex";
        setup.photo = true;
        setup.seed = seed;
        if (from_memory)
            setup.images = images;
        ASSERT_EQ(show_init(&setup), 0);
        for (const uint32_t t : times) {
            gl_render(t);
            std::vector<rgba> px;
            for (int y = 0; y < 192; ++y)
                for (int x = 0; x < 256; ++x)
                    px.push_back(gl_pixel(x, y));
            frames[from_memory].push_back(px);
        }
    }
    for (size_t k = 0; k < std::size(times); ++k)
        EXPECT_TRUE(std::equal(frames[0][k].begin(), frames[0][k].end(), frames[1][k].begin(),
                               [](rgba a, rgba b) { return a.r == b.r && a.g == b.g && a.b == b.b; }))
            << "t = " << times[k];
}
