// art_render_test.cpp - the artwork library in-process: text set into the caption
// rectangles (inside, filling them, shrinking to fit, refusing what would be too
// small), right-to-left ordering, font fallback (DejaVu, then the installed faces),
// and photos of any shape, size and EXIF orientation made into a backdrop the show's
// loader accepts, broken ones refused in words.
//
// Fonts come from the DejaVu files fonts-dejavu-core installs, and fontconfig's
// installed faces (script/setup adds fonts-wqy-microhei for Hangul and CJK); test
// images are made here with stb_image_write and libjpeg.
#include "art.h"
#include "bmp_format.h"
#include "font_fallback.h"
#include "photo.h"
#include "vexa_art.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <stdio.h>  // jpeglib.h wants FILE declared first
#include <jpeglib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include "credit_sheets.h"
#include "credits_art.h"

#include <map>
#include <numeric>
#include <string>
#include <vector>

namespace {

const std::string font_dir = "/usr/share/fonts/truetype/dejavu/";

struct fonts {
    FT_Library library = nullptr;
    FT_Face serif = nullptr, serif_bold = nullptr, sans = nullptr, sans_bold = nullptr;
    fonts()
    {
        FT_Init_FreeType(&library);
        FT_New_Face(library, (font_dir + "DejaVuSerif.ttf").c_str(), 0, &serif);
        FT_New_Face(library, (font_dir + "DejaVuSerif-Bold.ttf").c_str(), 0, &serif_bold);
        FT_New_Face(library, (font_dir + "DejaVuSans.ttf").c_str(), 0, &sans);
        FT_New_Face(library, (font_dir + "DejaVuSans-Bold.ttf").c_str(), 0, &sans_bold);
    }
    ~fonts() { FT_Done_FreeType(library); }
};

const fonts& the_fonts()
{
    static const fonts f;
    return f;
}

// Bounding box of the ink on a sheet; x1 < 0 when there is none.
pixel_box ink_box(const grey_image& sheet)
{
    pixel_box b{sheet.width, sheet.height, -1, -1};
    for (int y = 0; y < sheet.height; ++y)
        for (int x = 0; x < sheet.width; ++x)
            if (sheet.px[size_t(y) * size_t(sheet.width) + size_t(x)]) {
                b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x + 1), b.y1 = std::max(b.y1, y + 1);
            }
    return b;
}

}  // namespace

TEST(art_text, every_kind_is_set_inside_its_rectangle_and_fills_it)
{
    const fonts& f = the_fonts();
    struct kind {
        const char* name;
        text_style style;
        std::u32string text;
        pixel_box box;
        fit_mode mode;
    };
    const kind kinds[] = {
        {"title", {f.serif_bold, f.sans_bold}, U"Danke", sheet0_boxes[0], fit_mode::ink},
        {"subtitle", {f.serif, f.sans}, U"bis bald, und danke f\u00fcr alles", sheet0_boxes[1], fit_mode::ink},
        {"short strip", {f.sans_bold, f.sans_bold}, U"bye", sheet1_boxes[1], fit_mode::line},
        {"long strip", {f.sans_bold, f.sans_bold}, U"and that was the whole show", sheet1_boxes[2], fit_mode::line},
        {"arabic subtitle", {f.serif, f.sans}, U"\u0634\u0643\u0631\u0627 \u0644\u0643\u0645", sheet0_boxes[1],
         fit_mode::ink},
        {"strip past the sheet", {f.sans_bold, f.sans_bold}, U"we hope you enjoyed the show", sheet1_boxes[6],
         fit_mode::line},
    };
    for (const kind& k : kinds) {
        SCOPED_TRACE(k.name);
        grey_image sheet = blank_sheet();
        const double size = set_caption(sheet, k.style, k.text, k.box, k.mode);
        EXPECT_GE(size, min_letter_px);
        const pixel_box inner{k.box.x0 + caption_margin, k.box.y0 + caption_margin,
                              std::min(k.box.x1, sheet_side) - caption_margin,
                              std::min(k.box.y1, sheet_side) - caption_margin};
        const pixel_box ink = ink_box(sheet);
        ASSERT_GE(ink.x1, 0) << "no ink";
        EXPECT_GE(ink.x0, inner.x0);
        EXPECT_GE(ink.y0, inner.y0);
        EXPECT_LE(ink.x1, inner.x1);
        EXPECT_LE(ink.y1, inner.y1);
        // As large as fits: the binding direction is (nearly) filled; centred across.
        const double fill_w = double(ink.x1 - ink.x0) / (inner.x1 - inner.x0);
        const double fill_h = double(ink.y1 - ink.y0) / (inner.y1 - inner.y0);
        EXPECT_GT(std::max(fill_w, fill_h), 0.9) << "fills " << fill_w << " of the width, " << fill_h << " of the height";
        EXPECT_LE(std::abs((ink.x0 - inner.x0) - (inner.x1 - ink.x1)), 1);
        // Never clipped: the sheet holds all the ink of the text at that size.
        const text_ink whole = render_text(k.style, k.text, size);
        EXPECT_EQ(std::accumulate(sheet.px.begin(), sheet.px.end(), 0L),
                  std::accumulate(whole.coverage.begin(), whole.coverage.end(), 0L));
    }
}

TEST(art_text, an_overlong_text_shrinks_to_fit_and_one_too_long_is_refused)
{
    const fonts& f = the_fonts();
    const text_style strip{f.sans_bold, f.sans_bold};
    const pixel_box box = sheet1_boxes[1];  // the narrowest strip, 256 wide
    grey_image sheet = blank_sheet();
    const double short_size = set_caption(sheet, strip, U"bye", box, fit_mode::line);

    sheet = blank_sheet();
    const double long_size = set_caption(sheet, strip, U"thank you all for coming", box, fit_mode::line);
    EXPECT_LT(long_size, short_size * 0.7);
    EXPECT_GE(long_size, min_letter_px);
    const pixel_box ink = ink_box(sheet);
    EXPECT_GE(ink.x0, box.x0 + caption_margin);
    EXPECT_LE(ink.x1, box.x1 - caption_margin);
    EXPECT_GT(ink.x1 - ink.x0, (box.x1 - box.x0) * 9 / 10);

    // Refused, drawing nothing: letters of 12 to 15 pixels (in the show's grid) are too small, and so is
    // anything smaller; a text of far more characters than the strip could hold, or
    // of huge ink (stacked marks), is refused before it is rendered.
    const std::u32string refused_texts[] = {
        U"thanks to all of you who came",
        U"a text far too long to be read in a strip this narrow, at any size",
        std::u32string(100000, U'w'),
        U"a" + std::u32string(200, U'\u0301'),
    };
    for (const std::u32string& text : refused_texts) {
        SCOPED_TRACE(text.size());
        sheet = blank_sheet();
        const double refused = set_caption(sheet, strip, text, box, fit_mode::line);
        EXPECT_GT(refused, 0.0);
        EXPECT_LT(refused, min_letter_px);
        EXPECT_LT(ink_box(sheet).x1, 0) << "a refused text must leave the sheet empty";
    }
    sheet = blank_sheet();
    EXPECT_GT(set_caption(sheet, strip, refused_texts[0], box, fit_mode::line), 12.0 * sheet_scale);
}

TEST(art_text, right_to_left_text_comes_out_in_visual_order)
{
    const fonts& f = the_fonts();
    const text_style style{f.serif, f.sans};
    auto x_of = [](const text_layout& l, uint32_t cluster) {
        for (const placed_glyph& g : l.glyphs)
            if (g.cluster == cluster)
                return g.x;
        ADD_FAILURE() << "no glyph for character " << cluster;
        return -1.0;
    };
    // Hebrew alone: the first letter read is the rightmost.
    const text_layout hebrew = layout_text(style, U"\u05d0\u05d1\u05d2");
    ASSERT_EQ(hebrew.glyphs.size(), 3u);
    EXPECT_GT(x_of(hebrew, 0), x_of(hebrew, 1));
    EXPECT_GT(x_of(hebrew, 1), x_of(hebrew, 2));
    // Latin then Hebrew: "ab" on the left, the Hebrew word reversed to its right.
    const text_layout mixed = layout_text(style, U"ab \u05d0\u05d1\u05d2");
    EXPECT_LT(x_of(mixed, 0), x_of(mixed, 1));
    EXPECT_LT(x_of(mixed, 1), x_of(mixed, 5));
    EXPECT_LT(x_of(mixed, 5), x_of(mixed, 3));
    EXPECT_EQ(mixed.glyphs.front().cluster, 0u);
    EXPECT_EQ(mixed.glyphs.back().cluster, 3u);
    // Hebrew starts the line, so it reads right to left: the number sits to its left.
    const text_layout number = layout_text(style, U"\u05d0\u05d1 12");
    EXPECT_EQ(number.glyphs.back().cluster, 0u);
    EXPECT_LT(x_of(number, 3), x_of(number, 4));
    // Hebrew, a Latin word, Hebrew: the words from right to left, "abc" itself
    // left to right.
    const text_layout word = layout_text(style, U"\u05d0\u05d1 abc \u05d2\u05d3");
    EXPECT_GT(x_of(word, 0), x_of(word, 3));
    EXPECT_LT(x_of(word, 3), x_of(word, 4));
    EXPECT_GT(x_of(word, 3), x_of(word, 7));
}

TEST(art_text, shaping_fallback_and_missing_characters)
{
    const fonts& f = the_fonts();
    const text_style serif{f.serif, f.sans};
    // Arabic letters join: beh alone and beh between two others are different glyphs.
    const text_layout alone = layout_text(serif, U"\u0628");
    const text_layout joined = layout_text(serif, U"\u0628\u0628\u0628");
    ASSERT_EQ(alone.glyphs.size(), 1u);
    ASSERT_EQ(joined.glyphs.size(), 3u);
    EXPECT_NE(joined.glyphs[1].index, alone.glyphs[0].index);
    // The serif face has no Arabic: it comes from the fallback, and nothing is missing.
    EXPECT_EQ(alone.glyphs[0].face, f.sans);
    EXPECT_TRUE(alone.missing.empty());
    // Latin stays in the chosen face; a character no face has is listed once.
    const text_layout odd = layout_text(serif, U"a\U0010fffd b\U0010fffd");
    EXPECT_EQ(odd.glyphs.front().face, f.serif);
    EXPECT_EQ(odd.missing, std::u32string(U"\U0010fffd"));
    // Ligatures: "fi" is one glyph in DejaVu Serif.
    EXPECT_EQ(layout_text(serif, U"fi").glyphs.size(), 1u);
}

namespace {

// The installed faces (script/setup installs a Hangul and CJK one), opened once.
FT_Face installed_face(char32_t c)
{
    static std::map<std::string, FT_Face> opened;
    std::string path;
    int index = 0;
    if (!font_fallback_find(c, &path, &index))
        return nullptr;
    FT_Face& face = opened[path + "#" + std::to_string(index)];
    if (!face && FT_New_Face(the_fonts().library, path.c_str(), index, &face) != 0)
        face = nullptr;
    return face;
}

}  // namespace

TEST(art_text, characters_no_dejavu_face_has_come_from_an_installed_face_whole)
{
    const fonts& f = the_fonts();
    const text_style strip{f.sans_bold, f.sans_bold, installed_face};
    const std::u32string hangul = U"\uac10\uc0ac\ud569\ub2c8\ub2e4";  // five syllables
    const text_layout layout = layout_text(strip, hangul + U" ok \u8c22\u8c22");
    EXPECT_TRUE(layout.missing.empty());
    int syllables = 0;
    for (const placed_glyph& g : layout.glyphs) {
        EXPECT_NE(g.index, 0u) << "a box for character " << g.cluster;
        if (g.cluster < hangul.size()) {
            ++syllables;
            EXPECT_NE(g.face, f.sans_bold);
        } else if (g.cluster == hangul.size() + 1) {
            EXPECT_EQ(g.face, f.sans_bold) << "DejaVu comes first";
        }
    }
    EXPECT_EQ(syllables, 5) << "each syllable one glyph, not broken into letters";
    grey_image sheet = blank_sheet();
    EXPECT_GE(set_caption(sheet, strip, hangul, sheet1_boxes[0], fit_mode::line), min_letter_px);
    EXPECT_GE(ink_box(sheet).x1, 0);
    // Without the installed faces they are missing.
    EXPECT_EQ(layout_text({f.sans_bold, f.sans_bold}, hangul).missing, hangul);
}

TEST(art_text, utf8_is_decoded_and_malformed_input_refused)
{
    struct row {
        std::string in;
        bool ok;
        std::u32string out;
    };
    const row rows[] = {
        {"Danke", true, U"Danke"},
        {"f\xc3\xbcr \xd7\x90 \xe2\x82\xac \xf0\x9f\x98\x80", true, U"f\u00fcr \u05d0 \u20ac \U0001f600"},
        {"", true, U""},
        {"\xc3", false, U""},              // cut short
        {"\xc0\xaf", false, U""},          // overlong
        {"\xed\xa0\x80", false, U""},      // surrogate
        {"\xf4\x90\x80\x80", false, U""},  // past U+10FFFF
        {"\x80", false, U""},              // stray continuation byte
    };
    for (const row& r : rows) {
        std::u32string out;
        EXPECT_EQ(decode_utf8(r.in, out), r.ok) << r.in;
        if (r.ok) {
            EXPECT_EQ(out, r.out) << r.in;
        }
    }
}

TEST(art_text, a_text_with_a_control_character_is_refused_in_words)
{
    const std::string tail = " cannot be set; give one line of text";
    const struct {
        std::string in, why;  // why: "" when taken
    } rows[] = {
        {"a b", ""},
        {"a\xc2\xa0" "b \xe2\x80\xaf \xe2\x80\xa7 \xf0\x9f\x98\x80", ""},  // no-break spaces, a dot, an emoji
        {std::string("ab\0cd", 5), "the title \"ab\\x00cd\": a control character" + tail},
        {"a\x7f" "b", "the title \"a\\x7fb\": a control character" + tail},
        {"a\r", "the title \"a\\x0d\": a line break" + tail},
        {"a\xc2\x85" "b", "the title \"a\\u0085b\": a line break" + tail},
        {"\xc2\x9b" "31m", "the title \"\\u009b31m\": a control character" + tail},
        {"a\xe2\x80\xa8" "b", "the title \"a\\u2028b\": a line break" + tail},
        {"a\xe2\x80\xa9" "b", "the title \"a\\u2029b\": a line break" + tail},
        {"a\xc2", "the title is not valid UTF-8"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(art_text_refusal(r.in, "the title"), r.why) << r.in;

    // The whole text reaches the check: a NUL does not cut it short.
    art_texts texts;
    texts.title = std::string("ab\0cd", 5);
    std::vector<art_image> images;
    std::vector<art_note> notes;
    ASSERT_EQ(art_make(&texts, &images, &notes), 1);
    EXPECT_EQ(notes.back().field, "title");
    EXPECT_EQ(notes.back().text, rows[2].why);
}

TEST(art_text, the_faces_come_from_the_font_directory_given)
{
    char name[] = "/tmp/vexa-art-fonts-XXXXXX";
    ASSERT_TRUE(mkdtemp(name));
    setenv("VEXA_ART_FONT_DIR", font_dir.c_str(), 1);  // the parameter wins over the environment
    art_texts texts;
    texts.font_dir = name;
    std::vector<art_image> images;
    std::vector<art_note> notes;
    EXPECT_EQ(art_make(&texts, &images, &notes), 1);
    EXPECT_EQ(notes.back().text.rfind("DejaVuSans.ttf: font not found", 0), 0u) << notes.back().text;
    std::filesystem::copy(font_dir, name, std::filesystem::copy_options::recursive);
    setenv("VEXA_ART_FONT_DIR", (name + std::string("/none")).c_str(), 1);
    notes.clear();
    EXPECT_EQ(art_make(&texts, &images, &notes), 0) << notes.back().text;
    unsetenv("VEXA_ART_FONT_DIR");
    std::filesystem::remove_all(name);
}

namespace {

struct rgb {
    int r, g, b;
};
const rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255}, black{0, 0, 0};

// A 400x200 picture as stored: black side bands (x < 100, x >= 300) that a
// stretched backdrop would show, and four coloured quarters between them
// (top-left red, top-right green, bottom-left blue, bottom-right white).
std::vector<uint8_t> stored_picture(int& width, int& height)
{
    width = 400, height = 200;
    std::vector<uint8_t> px(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const rgb c = x < 100 || x >= 300 ? black : y < 100 ? (x < 200 ? red : green) : (x < 200 ? blue : white);
            uint8_t* p = &px[(size_t(y) * size_t(width) + size_t(x)) * 3];
            p[0] = uint8_t(c.r), p[1] = uint8_t(c.g), p[2] = uint8_t(c.b);
        }
    return px;
}

void append(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// The picture as a JPEG whose EXIF APP1 segment, right after the start marker,
// carries the orientation tag (big-endian TIFF, one IFD entry).
std::vector<uint8_t> jpeg_with_orientation(int orientation)
{
    int w, h;
    const std::vector<uint8_t> px = stored_picture(w, h);
    std::vector<uint8_t> jpeg;
    stbi_write_jpg_to_func(append, &jpeg, w, h, 3, px.data(), 95);
    const uint8_t app1[] = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,        // marker, length 34
                            'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,            // TIFF header
                            0x00, 0x01,                                              // one entry
                            0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01,          // orientation, SHORT, 1
                            0x00, uint8_t(orientation), 0x00, 0x00,                  // its value
                            0x00, 0x00, 0x00, 0x00};                                 // no next IFD
    jpeg.insert(jpeg.begin() + 2, std::begin(app1), std::end(app1));
    return jpeg;
}

std::string temp_dir()
{
    char name[] = "/tmp/vexa-art-render-XXXXXX";
    return mkdtemp(name) ? name : "";
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

// Samples of a side x side square at (x0, y0) of a picture stride pixels wide, RGB
// top row first: the four corners, and the two points left and right of the middle
// that show where the quarters meet.
void expect_quarters(const uint8_t* px, int side, const rgb corners[4], const std::string& what, int stride = 0,
                     int x0 = 0, int y0 = 0)
{
    stride = stride ? stride : side;
    struct point {
        int x, y;
        rgb want;
    };
    const int in = side / 16, mid = side / 2, off = side / 10;
    const point points[] = {
        {in, in, corners[0]},          {side - in, in, corners[1]}, {in, side - in, corners[2]},
        {side - in, side - in, corners[3]}, {mid - off, in, corners[0]}, {mid + off, in, corners[1]},
    };
    for (const point& p : points) {
        const uint8_t* q = px + (size_t(p.y + y0) * size_t(stride) + size_t(p.x + x0)) * 3;
        EXPECT_NEAR(q[0], p.want.r, 40) << what << " at " << p.x << "," << p.y;
        EXPECT_NEAR(q[1], p.want.g, 40) << what << " at " << p.x << "," << p.y;
        EXPECT_NEAR(q[2], p.want.b, 40) << what << " at " << p.x << "," << p.y;
    }
}

}  // namespace

TEST(art_photo, every_exif_orientation_comes_out_the_right_way_up_and_unstretched)
{
    // The picture as seen, for each orientation: top-left, top-right, bottom-left,
    // bottom-right.
    const rgb seen[9][4] = {
        {},
        {red, green, blue, white},  // 1: as stored
        {green, red, white, blue},  // 2: mirrored
        {white, blue, green, red},  // 3: upside down
        {blue, white, red, green},  // 4: mirrored upside down
        {red, blue, green, white},  // 5: transposed
        {blue, red, white, green},  // 6: stored a quarter turn anticlockwise
        {white, green, blue, red},  // 7: transversed
        {green, white, red, blue},  // 8: stored a quarter turn clockwise
    };
    const std::string dir = temp_dir();
    ASSERT_FALSE(dir.empty());
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const std::string path = dir + "/o" + std::to_string(orientation) + ".jpg";
        write_bytes(path, jpeg_with_orientation(orientation));
        std::vector<uint8_t> backdrop;
        std::string why;
        int w = 0, h = 0;
        ASSERT_TRUE(load_backdrop(path, 256, backdrop, w, h, why)) << why;
        // The whole picture, long side 256: the quarters are its middle square.
        const bool turned = orientation >= 5;
        ASSERT_EQ(w, turned ? 128 : 256);
        ASSERT_EQ(h, turned ? 256 : 128);
        ASSERT_EQ(backdrop.size(), size_t(w) * size_t(h) * 3u);
        expect_quarters(backdrop.data(), 128, seen[orientation], "orientation " + std::to_string(orientation), w,
                        (w - 128) / 2, (h - 128) / 2);
    }
    std::filesystem::remove_all(dir);
}

TEST(art_photo, a_png_and_a_turned_jpeg_give_a_backdrop_the_loader_accepts)
{
    const std::string dir = temp_dir();
    ASSERT_FALSE(dir.empty());
    int w, h;
    const std::vector<uint8_t> px = stored_picture(w, h);
    ASSERT_TRUE(stbi_write_png((dir + "/wide.png").c_str(), w, h, 3, px.data(), w * 3));
    write_bytes(dir + "/turned.jpg", jpeg_with_orientation(6));
    const struct {
        const char* file;
        rgb corners[4];
    } cases[] = {
        {"wide.png", {red, green, blue, white}},
        {"turned.jpg", {blue, red, white, green}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        art_texts texts;
        const std::string photo = dir + "/" + c.file, out = dir + "/art-" + c.file;
        texts.photo = photo.c_str();
        ASSERT_EQ(art_write(out.c_str(), &texts, "art_render_test"), 0);
        bmp_header header;
        unsigned char* pixels = nullptr;
        ASSERT_EQ(bmp_load_pixels((out + "/photo.bmp").c_str(), GL_RGB, photo_side, &header, &pixels), 0);
        // The whole picture, long side photo_side.
        const int w = header.width, h = header.height, half = photo_side / 2;
        EXPECT_EQ(std::max(w, h), photo_side);
        EXPECT_EQ(std::min(w, h), half);
        EXPECT_EQ(header.bit_count, 24);
        // The loader hands rows bottom first, as GL takes them: turn them over.
        std::vector<uint8_t> top_down(size_t(w) * size_t(h) * 3);
        for (int y = 0; y < h; ++y)
            std::copy_n(pixels + size_t(h - 1 - y) * size_t(w) * 3, size_t(w) * 3,
                        top_down.begin() + long(size_t(y) * size_t(w) * 3));
        std::free(pixels);
        expect_quarters(top_down.data(), half, c.corners, c.file, w, (w - half) / 2, (h - half) / 2);
    }
    std::filesystem::remove_all(dir);
}

namespace {

// A width x height baseline JPEG, written a row at a time: left half red, right
// half blue.
bool write_big_jpeg(const std::string& path, int width, int height)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(width) * 3);
    for (int x = 0; x < width; ++x)
        row[size_t(x) * 3 + (x < width / 2 ? 0 : 2)] = 255;
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

}  // namespace

TEST(art_photo, a_camera_photo_of_over_100_megapixels_is_taken_and_broken_ones_are_named)
{
    const std::string dir = temp_dir();
    ASSERT_FALSE(dir.empty());
    const std::string big = dir + "/big.jpg";
    ASSERT_TRUE(write_big_jpeg(big, 12000, 9000));  // 108 megapixels
    std::vector<uint8_t> backdrop;
    std::string why;
    int w = 0, h = 0;
    ASSERT_TRUE(load_backdrop(big, 256, backdrop, w, h, why)) << why;
    EXPECT_EQ(w, 256);
    EXPECT_EQ(h, 192);
    const rgb corners[4] = {red, blue, red, blue};
    expect_quarters(backdrop.data(), 192, corners, "108 megapixels", w, 32, 0);

    // Broken files: what is wrong, in words.
    std::vector<uint8_t> whole;
    {
        std::ifstream in(big, std::ios::binary);
        whole.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<uint8_t> huge_jpeg = jpeg_with_orientation(1);
    for (size_t i = 0; i + 8 < huge_jpeg.size(); ++i)
        if (huge_jpeg[i] == 0xFF && huge_jpeg[i + 1] == 0xC0) {  // SOF0: height, width at 5..8
            huge_jpeg[i + 5] = 0xEA, huge_jpeg[i + 6] = 0x60, huge_jpeg[i + 7] = 0xEA, huge_jpeg[i + 8] = 0x60;
            break;
        }
    std::vector<uint8_t> declared_jpeg = huge_jpeg;  // 16384x16384 declared, a few bytes of data
    for (size_t i = 0; i + 8 < declared_jpeg.size(); ++i)
        if (declared_jpeg[i] == 0xFF && declared_jpeg[i + 1] == 0xC0) {
            declared_jpeg[i + 5] = 0x40, declared_jpeg[i + 6] = 0x00, declared_jpeg[i + 7] = 0x40, declared_jpeg[i + 8] = 0x00;
            break;
        }
    const std::vector<uint8_t> px = stored_picture(w, h);
    std::vector<uint8_t> png;
    stbi_write_png_to_func(append, &png, w, h, 3, px.data(), w * 3);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* why;
    } cases[] = {
        {"cut.jpg", std::vector<uint8_t>(whole.begin(), whole.begin() + long(whole.size() / 2)),
         "the JPEG file ends early (cut short?)"},
        {"huge.jpg", huge_jpeg, "an image of 60000x60000 pixels, more than the 268 megapixels taken"},
        {"declared.jpg", declared_jpeg, "the JPEG file ends early (cut short?)"},
        {"cut.png", std::vector<uint8_t>(png.begin(), png.begin() + 60), "the file ends early (cut short?)"},
        {"text.jpg", {'h', 'e', 'l', 'l', 'o'}, "not a PNG or JPEG image"},
    };
    for (const auto& c : cases) {
        write_bytes(dir + "/" + c.name, c.bytes);
        EXPECT_FALSE(load_backdrop(dir + "/" + c.name, 256, backdrop, w, h, why)) << c.name;
        EXPECT_EQ(why, c.why) << c.name;
    }
    std::filesystem::remove_all(dir);
}

namespace {

// The ink of row r of a credit sheet, left and right of the middle: the
// columns' outer edges (-1 for none).
void credit_row_ink(const grey_image& sheet, int r, int* left_edge, int* right_edge)
{
    *left_edge = *right_edge = -1;
    const int middle = credit_sheet_width / 2;
    for (int y = r * credit_row_px; y < (r + 1) * credit_row_px; ++y)
        for (int x = 0; x < sheet.width; ++x)
            if (sheet.px[size_t(y) * size_t(sheet.width) + size_t(x)]) {
                if (x < middle && (*left_edge < 0 || x < *left_edge))
                    *left_edge = x;
                if (x >= middle && x > *right_edge)
                    *right_edge = x;
            }
}

TEST(art_credits, columns_meet_at_the_middle_and_a_right_to_left_pair_mirrors)
{
    const text_style style{the_fonts().sans, nullptr};
    // A wide role and a short name: which side is wide tells the columns apart.
    const std::vector<show_credit> credits = {
        {"WWWWWW", "Al"}, {"WWWWWW", "\u05D0\u05D1"}, {"", "Centred"}};
    std::vector<grey_image> sheets;
    std::string why;
    ASSERT_TRUE(paint_credits(style, credits, 16.0 / 9, &sheets, &why)) << why;
    ASSERT_EQ(sheets.size(), 1u);
    const int middle = credit_sheet_width / 2;
    int l, r;
    credit_row_ink(sheets[0], 0, &l, &r);  // role right-aligned on the left: the wide side is the left
    EXPECT_GT(middle - l, r - middle);
    credit_row_ink(sheets[0], 1, &l, &r);  // mirrored: the role on the right
    EXPECT_LT(middle - l, r - middle);
    credit_row_ink(sheets[0], 2, &l, &r);  // a name alone, centred
    EXPECT_NEAR(middle - l, r + 1 - middle, 2);
    // Too wide for a 9:16 frame at the roll's size: refused naming the line.
    const std::vector<show_credit> wide = {{"", "a"}, {"", std::string(40, 'W')}};
    EXPECT_FALSE(paint_credits(style, wide, 9.0 / 16, &sheets, &why, "class.txt"));
    EXPECT_EQ(why.rfind("class.txt: line 2: too wide", 0), 0u) << why;
}

}  // namespace
