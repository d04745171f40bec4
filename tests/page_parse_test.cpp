/* page_parse_test.cpp - what the web page reads, on the host: its address
   options (page_options) and the BDF font of its text (bitmap_font). No GL,
   no browser. */
#include "bitmap_font.h"
#include "page_options.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

TEST(PageOptions, ReadsFlagsNumbersAndLeavesOtherParametersAlone)
{
    const struct {
        const char* query;
        int status;  // the number of bad options
        bool photo, fps, paused, has_seed;
        uint32_t seed, start_ms;
    } cases[] = {
        {"", 0, false, false, false, false, 0, 0},
        {"?photo&fps&paused", 0, true, true, true, false, 0, 0},
        {"photo=yes&fps=&paused=1", 0, true, true, true, false, 0, 0},
        {"photo=TRUE&fps=on", 0, true, true, false, false, 0, 0},
        {"photo=false&fps=0&paused=off", 0, false, false, false, false, 0, 0},
        {"paused&paused=no&photo=Off", 0, false, false, false, false, 0, 0},  // the last one holds
        {"?t=12500&seed=42", 0, false, false, false, true, 42, 12500},
        {"?seed=4294967295&t=15999", 0, false, false, false, true, 4294967295u, 15999},
        {"?utm=x&tt=5&photos&seed=7", 0, false, false, false, true, 7, 0},
        {"?t=16000", 0, false, false, false, false, 0, 16000},  // held against the show's length later
        {"?t=-1&photo", 1, true, false, false, false, 0, 0},  // the rest is still read
        {"?seed=4294967296", 1, false, false, false, false, 0, 0},
        {"?seed=12a", 1, false, false, false, false, 0, 0},
        {"?seed", 1, false, false, false, false, 0, 0},
        {"?t=&paused", 1, false, false, true, false, 0, 0},
        {"?photo=maybe&fps=2&paused", 2, false, false, true, false, 0, 0},
        {"?seed=x&t=-5&photo", 2, true, false, false, false, 0, 0},  // every bad option is named
    };
    for (const auto& c : cases) {
        page_options o;
        testing::internal::CaptureStderr();
        EXPECT_EQ(page_options_parse(&o, c.query), c.status != 0) << c.query;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), c.status) << c.query << ": " << err;
        EXPECT_EQ(o.photo, c.photo) << c.query;
        EXPECT_EQ(o.fps, c.fps) << c.query;
        EXPECT_EQ(o.paused, c.paused) << c.query;
        EXPECT_EQ(o.has_seed, c.has_seed) << c.query;
        EXPECT_EQ(o.seed, c.seed) << c.query;
        EXPECT_EQ(o.start_ms, c.start_ms) << c.query;
    }
}

// The address's t= against the show's last time, once the show's document is in.
TEST(PageOptions, HoldsTheStartTimeAgainstTheShow)
{
    testing::internal::CaptureStderr();
    EXPECT_TRUE(page_time_check(15999, 15999));
    EXPECT_TRUE(page_time_check(20500, 21999));  // a longer show takes a later start
    EXPECT_FALSE(page_time_check(16000, 15999));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "vexa: ?t=16000: not a show time (0 to 15999 ms)\n");
}

/* The fonts are written into a directory of the test's own, removed at the end. */
struct font_dir {
    std::string path;
    font_dir()
    {
        char name[] = "/tmp/page_parse_test-XXXXXX";
        path = mkdtemp(name) ? name : "";
    }
    ~font_dir()
    {
        unlink((path + "/font.bdf").c_str());
        rmdir(path.c_str());
    }
} m_font_dir;

std::string write_font(const std::string& text)
{
    const std::string path = m_font_dir.path + "/font.bdf";
    FILE* f = fopen(path.c_str(), "w");
    EXPECT_TRUE(f);
    fputs(text.c_str(), f);
    fclose(f);
    return path;
}

const std::string font_head = "STARTFONT 2.1\nFONT test\nCHARS 2\n";
const std::string glyph_a =
    "STARTCHAR a\nENCODING 97\nDWIDTH 6 0\nBBX 10 3 1 -2\nBITMAP\n8040\nFFC0\n0001\nENDCHAR\n";
const std::string glyph_big = "STARTCHAR x\nENCODING 300\nDWIDTH 9 0\nBBX 1 1 0 0\nBITMAP\n80\nENDCHAR\n";

TEST(BitmapFont, ReadsTheGlyphsOfCodesUpTo255)
{
    bitmap_font font;
    ASSERT_EQ(bitmap_font_load(&font, write_font(font_head + glyph_a + glyph_big + "ENDFONT\n").c_str()), 0);
    const bitmap_glyph& a = font.glyphs['a'];
    EXPECT_TRUE(a.present);
    EXPECT_EQ(a.width, 10);
    EXPECT_EQ(a.height, 3);
    EXPECT_EQ(a.x_offset, 1);
    EXPECT_EQ(a.y_offset, -2);
    EXPECT_EQ(a.advance, 6);
    EXPECT_EQ(a.rows[0], 0x80400000u);  // top row first, leftmost pixel in bit 31
    EXPECT_EQ(a.rows[1], 0xffc00000u);
    EXPECT_EQ(a.rows[2], 0x00010000u);
    int present = 0;
    for (const bitmap_glyph& g : font.glyphs)
        present += g.present;
    EXPECT_EQ(present, 1);  // code 300 is skipped
}

TEST(BitmapFont, RefusesWhatItCannotDrawWithOneLineNamingTheFileAndLine)
{
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {font_head + "STARTCHAR a\nBBX 33 1 0 0\nBITMAP\n00\nENDCHAR\n", ":5: bad BBX (at most 32 x 32 pixels)\n"},
        {font_head + "STARTCHAR a\nBBX 1 -1 0 0\nENDCHAR\n", ":5: bad BBX (at most 32 x 32 pixels)\n"},
        {font_head + "STARTCHAR a\nBBX 8 2 0 0\nBITMAP\nFF\nFG\nENDCHAR\n", ":8: bad bitmap row\n"},
        {font_head + "STARTCHAR a\nBBX 8 1 0 0\nBITMAP\nFFF\nENDCHAR\n", ":7: bad bitmap row\n"},
        {font_head + "STARTCHAR a\nBBX 8 2 0 0\nBITMAP\nFF\n", ":7: file ends inside a bitmap\n"},
        {font_head + "STARTCHAR a\nBITMAP\n", ":5: BITMAP before BBX\n"},
        {font_head + "STARTCHAR a\nDWIDTH -3 0\n", ":5: bad DWIDTH\n"},
        {font_head + "STARTCHAR a\nENCODING\n", ":5: bad ENCODING\n"},
        {font_head + "STARTCHAR a\nBBX 1 1 0 0\n", ":5: file ends inside a glyph\n"},
        {font_head + "ENDFONT\n", ":4: no glyphs\n"},
    };
    for (const auto& c : cases) {
        const std::string path = write_font(c.text);
        bitmap_font font;
        testing::internal::CaptureStderr();
        EXPECT_EQ(bitmap_font_load(&font, path.c_str()), 1) << c.text;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), path + c.message) << c.text;
    }
    testing::internal::CaptureStderr();
    bitmap_font font;
    EXPECT_EQ(bitmap_font_load(&font, "no-such-dir/font.bdf"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "no-such-dir/font.bdf:0: can't open file.\n");
}

}  // namespace
