/* look_test.cpp - a show document's look and photo framing, in real frames:
   the artwork is painted in memory (art_make) with a document's look, handed
   to the show (show_setup.images, .doc) and drawn through show_frame; the
   frames are read back and looked at as pictures. */
#include "art_files.h"
#include "bmp_format.h"
#include "gl_harness.h"
#include "vexa.h"
#include "vexa_art.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

struct made {
    std::vector<art_image> images;
    std::vector<show_image> shown;
};

made paint(const art_texts& texts)
{
    made m;
    std::vector<art_note> notes;
    EXPECT_EQ(art_make(&texts, &m.images, &notes), 0) << (notes.empty() ? "" : notes.back().text);
    for (const art_image& i : m.images)
        m.shown.push_back({i.bytes.data(), i.bytes.size()});
    return m;
}

/* The frame at show time t, width x height, adapted, of the artwork m, the
   photo shown or not, with the document doc. */
void render(const made& m, const show_doc* doc, bool photo, uint32_t t, int width, int height)
{
    gl_target(width, height);
    show_setup setup = {};
    setup.tex_dir = "look";
    setup.photo = photo;
    setup.seed = 1;
    setup.images = m.shown.data();
    setup.doc = doc;
    ASSERT_EQ(show_init(&setup), 0);
    show_frame(t, width, height, stage_adapt);
    gl_read();
    show_release();
}

std::string temp_png(const std::string& name, int w, int h, const std::function<void(int, int, unsigned char*)>& at)
{
    static std::string dir;
    if (dir.empty()) {
        char pattern[] = "/tmp/vexa-look-test-XXXXXX";
        dir = mkdtemp(pattern);
    }
    std::vector<unsigned char> px(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            at(x, y, &px[(size_t(y) * size_t(w) + size_t(x)) * 3]);
    const std::string path = dir + "/" + name;
    stbi_write_png(path.c_str(), w, h, 3, px.data(), w * 3);
    return path;
}

/* The frame's pixels inside a caption's sheet rectangle (1024 grid, y down)
   at the classic 4:3 place, one world unit a pixel in a 1024x768 frame. */
struct area {
    int x0, y0, x1, y1;  // frame pixels from the bottom left, x1, y1 exclusive
};
area caption_area(const unsigned r[2][2])
{
    return {int(r[0][0]), int(1023 - r[1][1]) - 128, int(r[1][0]), int(1023 - r[0][1]) - 128};
}

bool dark(rgba p) { return p.r < 60 && p.g < 60 && p.b < 60; }
bool bright(rgba p) { return p.r > 235 && p.g > 235 && p.b > 235; }

}  // namespace

TEST(look, an_outlined_white_title_over_a_white_photo_has_dark_pixels_around_every_letter)
{
    const std::string photo = temp_png("white.png", 64, 48, [](int, int, unsigned char* p) { p[0] = p[1] = p[2] = 255; });
    show_doc doc;
    show_text_look& title = doc.look.title;
    title.has_colour = true;
    title.colour = {255, 255, 255, 255};
    title.outline = {3, {0, 0, 0, 255}};
    art_texts texts;
    texts.title = "HOLA";
    texts.photo = photo.c_str();
    texts.doc = &doc;
    const made m = paint(texts);
    render(m, &doc, true, 10500, 1024, 768);  // the photo dimmed to grey, the title on it

    // The letters: 4-connected runs of bright pixels. Every letter's edge has a
    // dark pixel within the outline's width (and a pixel).
    const area a = caption_area(my_string_fin_bmp);
    const int w = a.x1 - a.x0, h = a.y1 - a.y0;
    std::vector<int> label(size_t(w) * size_t(h), 0);
    int letters = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (label[size_t(y) * size_t(w) + size_t(x)] || !bright(gl_pixel(a.x0 + x, a.y0 + y)))
                continue;
            std::vector<std::pair<int, int>> stack = {{x, y}}, edge;
            label[size_t(y) * size_t(w) + size_t(x)] = ++letters;
            size_t size = 0;
            while (!stack.empty()) {
                const auto [px, py] = stack.back();
                stack.pop_back();
                ++size;
                bool on_edge = false;
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = px + dx, ny = py + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || !bright(gl_pixel(a.x0 + nx, a.y0 + ny))) {
                        on_edge = true;
                        continue;
                    }
                    int& l = label[size_t(ny) * size_t(w) + size_t(nx)];
                    if (!l) {
                        l = letters;
                        stack.push_back({nx, ny});
                    }
                }
                if (on_edge)
                    edge.push_back({px, py});
            }
            if (size < 40) {  // a speck of anti-aliasing, not a letter
                --letters;
                continue;
            }
            size_t outlined = 0;
            for (const auto& [ex, ey] : edge) {
                bool found = false;
                for (int dy = -5; dy <= 5 && !found; ++dy)
                    for (int dx = -5; dx <= 5 && !found; ++dx)
                        found = dark(gl_pixel(a.x0 + ex + dx, a.y0 + ey + dy));
                outlined += found;
            }
            EXPECT_GE(outlined * 10, edge.size() * 9) << "letter " << letters << " at " << x << "," << y;
        }
    EXPECT_EQ(letters, 4) << "H, O, L, A";
}

TEST(look, a_box_a_colour_a_bar_a_paper_and_a_background_come_out_as_chosen)
{
    show_doc doc;
    show_text_look& title = doc.look.title;
    title.has_colour = true;
    title.colour = {255, 255, 0, 255};
    title.has_box = true;
    title.box = {0, 0, 255, 255};
    doc.look.bar = {255, 0, 255, 255};
    doc.look.has_card_paper = true;
    doc.look.card_paper = {40, 90, 200, 255};
    doc.look.background.from = {0, 128, 0, 255};
    art_texts texts;
    texts.title = "Hi";
    texts.doc = &doc;
    const made m = paint(texts);

    // The title in yellow on a blue box: the box's pixels fill a rectangle, the
    // letters inside it.
    render(m, &doc, false, 10500, 1024, 768);
    const area a = caption_area(my_string_fin_bmp);
    auto blue = [](rgba p) { return p.b > 200 && p.r < 60 && p.g < 60; };
    auto yellow = [](rgba p) { return p.r > 220 && p.g > 220 && p.b < 60; };
    int bx0 = a.x1, by0 = a.y1, bx1 = -1, by1 = -1, yellows = 0;
    for (int y = a.y0; y < a.y1; ++y)
        for (int x = a.x0; x < a.x1; ++x) {
            const rgba p = gl_pixel(x, y);
            yellows += yellow(p);
            if (blue(p))
                bx0 = std::min(bx0, x), by0 = std::min(by0, y), bx1 = std::max(bx1, x), by1 = std::max(by1, y);
        }
    EXPECT_GT(yellows, 500);
    ASSERT_GT(bx1 - bx0, 100);
    ASSERT_GT(by1 - by0, 50);
    int holes = 0, inside_yellow = 0;
    for (int y = by0 + 2; y <= by1 - 2; ++y)
        for (int x = bx0 + 2; x <= bx1 - 2; ++x) {
            const rgba p = gl_pixel(x, y);
            holes += !blue(p) && p.b > p.r && p.b > p.g && (p.r + p.g + p.b) < 200;  // anything dark, not box
            holes += (p.r + p.g + p.b) < 100;
            inside_yellow += yellow(p);
        }
    EXPECT_EQ(holes, 0) << "the box is filled";
    EXPECT_EQ(inside_yellow, yellows) << "the letters stand on the box";

    // The closing's background without a photo, the bar, the card's paper.
    render(m, &doc, false, 9500, 1024, 768);
    const rgba back = gl_pixel(100, 100);
    EXPECT_NEAR(back.r, 0, 2);
    EXPECT_NEAR(back.g, 128, 2);
    EXPECT_NEAR(back.b, 0, 2);
    // A gradient at 90 degrees: the first colour on the left, the second on the right.
    show_doc gradient = doc;
    gradient.look.background = {true, {255, 0, 0, 255}, {0, 0, 255, 255}, 90};
    render(m, &gradient, false, 9500, 1024, 768);
    const rgba left = gl_pixel(2, 384), right = gl_pixel(1021, 384), middle = gl_pixel(512, 384);
    EXPECT_TRUE(left.r > 245 && left.b < 10) << left.r << "," << left.b;
    EXPECT_TRUE(right.b > 245 && right.r < 10) << right.r << "," << right.b;
    EXPECT_NEAR(middle.r, 128, 4);
    EXPECT_NEAR(middle.b, 128, 4);
    render(m, &doc, false, 600, 1024, 768);
    EXPECT_GT(gl_count_world(250, 284, 500, 484, [](rgba p) { return p.r > 240 && p.g < 20 && p.b > 240; }), 1000);
    render(m, &doc, false, 3050, 1024, 768);
    const rgba paper = gl_world_pixel(200, 300);
    EXPECT_GT(paper.b, paper.r + 60) << paper.r << "," << paper.g << "," << paper.b;
}

TEST(look, a_persons_title_is_at_least_as_tall_as_their_subtitle)
{
    art_texts texts;
    texts.title = "Happy Birthday Mia, from everyone";
    texts.subtitle = "hi";
    const made m = paint(texts);
    const art_image& sheet = m.images[10];
    bmp_header h;
    unsigned char* px = nullptr;
    ASSERT_EQ(bmp_load_memory(sheet.bytes.data(), sheet.bytes.size(), GL_ALPHA, 4096, &h, &px), BMP_OK);
    const int scale = h.width / caption_sheet_size;
    auto ink_height = [&](const unsigned r[2][2]) {  // rows with ink inside the rectangle
        int lo = h.height, hi = -1;
        for (int y = int(r[0][1]) * scale; y < int(r[1][1]) * scale; ++y)
            for (int x = int(r[0][0]) * scale; x < int(r[1][0]) * scale; ++x)
                if (px[size_t(h.height - 1 - y) * size_t(h.width) + size_t(x)] > 128)
                    lo = std::min(lo, y), hi = std::max(hi, y);
        return hi - lo + 1;
    };
    const int title = ink_height(my_string_fin_bmp), subtitle = ink_height(my_string_soredake_bmp);
    std::free(px);
    EXPECT_GT(subtitle, 10);
    EXPECT_GE(title, subtitle);
}

TEST(look, a_focus_near_the_top_of_a_portrait_keeps_its_top_rows_in_a_16_9_frame)
{
    // A portrait: its top tenth red, the rest green.
    const std::string photo = temp_png("portrait.png", 300, 600, [](int, int y, unsigned char* p) {
        p[0] = y < 60 ? 255 : 0, p[1] = y < 60 ? 0 : 255, p[2] = 0;
    });
    show_doc doc;
    doc.photo.focus[0] = 0.5;
    doc.photo.focus[1] = 0.02;
    art_texts texts;
    texts.photo = photo.c_str();
    const made m = paint(texts);
    render(m, &doc, true, 9500, 640, 360);
    for (int x : {0, 320, 639}) {
        const rgba top = gl_pixel(x, 359);
        EXPECT_GT(top.r, 200) << "top row at " << x;
        EXPECT_LT(top.g, 60) << "top row at " << x;
        const rgba low = gl_pixel(x, 0);
        EXPECT_GT(low.g, 200) << "bottom row at " << x << ": the photo covers the frame";
    }
}

TEST(look, a_document_of_defaults_gives_the_classic_artwork_and_frames)
{
    const show_doc doc;
    art_texts plain, with_doc;
    with_doc.doc = &doc;
    const made a = paint(plain), b = paint(with_doc);
    ASSERT_EQ(a.images.size(), size_t(my_art_file_count));
    for (size_t i = 0; i < a.images.size(); ++i)
        EXPECT_TRUE(a.images[i].bytes == b.images[i].bytes) << a.images[i].name;
    for (uint32_t t : {600u, 9500u, 12500u}) {
        render(a, nullptr, true, t, 640, 360);
        std::vector<rgba> classic;
        for (int y = 0; y < 360; ++y)
            for (int x = 0; x < 640; ++x)
                classic.push_back(gl_pixel(x, y));
        render(b, &doc, true, t, 640, 360);
        int differ = 0;
        for (int y = 0; y < 360; ++y)
            for (int x = 0; x < 640; ++x) {
                const rgba p = gl_pixel(x, y), q = classic[size_t(y) * 640 + size_t(x)];
                differ += p.r != q.r || p.g != q.g || p.b != q.b || p.a != q.a;
            }
        EXPECT_EQ(differ, 0) << "at " << t << " ms";
    }
}

TEST(look, faces_by_family_and_file_and_the_size_scale_are_taken_or_refused_by_name)
{
    const std::string dir = std::filesystem::path(temp_png("x.png", 4, 4, [](int, int, unsigned char* p) {
                                p[0] = p[1] = p[2] = 0;
                            })).parent_path();
    const std::string text = dir + "/words.ttf", bitmap = dir + "/tiny.bdf";
    std::FILE* f = std::fopen(text.c_str(), "w");
    std::fputs("just words\n", f);
    std::fclose(f);
    // A bitmap-only face: one glyph, "A", in BDF.
    f = std::fopen(bitmap.c_str(), "w");
    std::fputs("STARTFONT 2.1\nFONT -test-tiny-medium-r-normal--8-80-75-75-c-80-iso10646-1\nSIZE 8 75 75\n"
               "FONTBOUNDINGBOX 8 8 0 0\nSTARTPROPERTIES 2\nFONT_ASCENT 8\nFONT_DESCENT 0\nENDPROPERTIES\n"
               "CHARS 1\nSTARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 8 0\nBBX 8 8 0 0\nBITMAP\n"
               "18\n24\n42\n42\n7E\n42\n42\n00\nENDCHAR\nENDFONT\n",
               f);
    std::fclose(f);
    const struct {
        const char* what;
        std::string font;
        bool file;
        double size;
        int status;
        std::string note;  // the last note starts so; "" for none
    } cases[] = {
        {"an installed family", "DejaVu Sans", false, 1, 0, ""},
        {"a family not installed", "No Such Family Vexa", false, 1, 0,
         "look.title.font: \"No Such Family Vexa\" is not installed; using \""},
        {"a file that is no font", text, true, 1, 1, text + ": not a font FreeType can read"},
        {"a bitmap-only face", bitmap, true, 1, 1, bitmap + ": a bitmap-only font"},
        {"smaller", "", false, 0.5, 0, ""},
        {"larger than its place", "", false, 1.5, 1, "look.title.size: 1.5 makes the title too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        show_doc doc;
        doc.look.title.font = c.font;
        doc.look.title.font_is_file = c.file;
        doc.look.title.size = c.size;
        art_texts texts;
        texts.doc = &doc;
        std::vector<art_image> images;
        std::vector<art_note> notes;
        EXPECT_EQ(art_make(&texts, &images, &notes), c.status);
        if (c.note.empty()) {
            EXPECT_TRUE(notes.empty()) << notes.front().text;
        } else {
            ASSERT_FALSE(notes.empty());
            EXPECT_EQ(notes.back().text.rfind(c.note, 0), 0u) << notes.back().text;
        }
    }
    // A shadow reaching past a strip's height leaves no room for its letters.
    show_doc doc;
    doc.look.lines.shadow = {true, 0, 64, 32, {0, 0, 0, 255}};
    art_texts texts;
    texts.doc = &doc;
    std::vector<art_image> images;
    std::vector<art_note> notes;
    EXPECT_EQ(art_make(&texts, &images, &notes), 1);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.back().text, "look.lines: the outline, shadow and box leave no room for line 1");
}
