// mkart_test.cpp - checks the artwork that mkart writes: file format of all twelve
// BMPs, caption lettering confined to its boxes, distinct number cards, identical
// output from run to run, and mkart's failure reports.
//
// Reads the files from $VEXA_TEX_DIR (default "tex"). The tests that run the
// generator themselves need $VEXA_MKART, the path of the mkart program, and are
// skipped without it.
#include "sheet_rects.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct box {
    int x0, y0, x1, y1;  // x1, y1 exclusive
};

box sheet_box(const unsigned r[2][2])
{
    return {(int)r[0][0], (int)r[0][1], (int)r[1][0], (int)r[1][1]};
}

// Where the show cuts its captions from: the show's own rectangles.
const std::vector<box> sheet0_boxes = {sheet_box(my_string_fin_bmp), sheet_box(my_string_soredake_bmp)};
const std::vector<box> sheet1_boxes = [] {
    std::vector<box> v;
    for (const auto& r : my_string2_strings_bmp)
        v.push_back(sheet_box(r));
    return v;
}();
const char* const card_names[] = {"5", "4", "3", "2", "1", "0", "-1", "-2", "-3"};

std::string tex_dir()
{
    const char* dir = std::getenv("VEXA_TEX_DIR");
    return dir && *dir ? dir : "tex";
}

std::vector<uint8_t> read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string read_text(const std::string& path)
{
    const std::vector<uint8_t> bytes = read_file(path);
    return std::string(bytes.begin(), bytes.end());
}

uint32_t u16(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at)
{
    return u16(b, at) | u16(b, at + 2) << 16;
}

// A BMP as stored, plus its pixels turned to top row first.
struct bmp {
    std::vector<uint8_t> bytes;
    int32_t width = 0, height = 0;
    uint32_t bits = 0, compression = 0, off_bits = 0, size_image = 0, clr_used = 0;
    std::vector<uint8_t> pixels;  // width * bits/8 bytes per row, no padding

    int pixel_bytes() const { return int(bits / 8); }
    const uint8_t* at(int x, int y) const { return &pixels[(size_t(y) * size_t(width) + size_t(x)) * size_t(pixel_bytes())]; }
};

// Parses the headers; ADD_FAILURE and returns false on anything malformed.
bool load_bmp(const std::string& path, bmp& out)
{
    out.bytes = read_file(path);
    const std::vector<uint8_t>& b = out.bytes;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        ADD_FAILURE() << path << ": missing or not a BMP";
        return false;
    }
    EXPECT_EQ(u32(b, 2), b.size()) << path << ": bfSize";
    EXPECT_EQ(u32(b, 6), 0u) << path << ": reserved fields";
    EXPECT_EQ(u32(b, 14), 40u) << path << ": biSize";
    EXPECT_EQ(u16(b, 26), 1u) << path << ": biPlanes";
    out.width = int32_t(u32(b, 18));
    out.height = int32_t(u32(b, 22));
    out.bits = u16(b, 28);
    out.compression = u32(b, 30);
    out.size_image = u32(b, 34);
    out.clr_used = u32(b, 46);
    out.off_bits = u32(b, 10);
    if (out.width <= 0 || out.height == 0 || (out.bits != 8 && out.bits != 24)) {
        ADD_FAILURE() << path << ": unexpected geometry " << out.width << "x" << out.height << "x" << out.bits;
        return false;
    }
    const int rows = out.height < 0 ? -out.height : out.height;
    const size_t row_bytes = size_t(out.width) * (out.bits / 8);
    const size_t stride = (row_bytes + 3) & ~size_t(3);
    if (out.off_bits + stride * size_t(rows) > b.size()) {
        ADD_FAILURE() << path << ": pixel data runs past the end of the file";
        return false;
    }
    out.pixels.resize(row_bytes * size_t(rows));
    for (int y = 0; y < rows; ++y) {
        const int stored = out.height > 0 ? rows - 1 - y : y;  // positive height: bottom row first
        std::copy_n(b.begin() + long(out.off_bits + stride * size_t(stored)), row_bytes,
                    out.pixels.begin() + long(row_bytes * size_t(y)));
    }
    return true;
}

bool inside(const box& r, int x, int y)
{
    return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1;
}

// Lettering must cover something in every box, stay off a 2-pixel band along each
// box's inner edge (a box reaching past the sheet ends at the sheet's edge), and
// leave the sheet outside all boxes empty.
void check_sheet(const std::string& name, const std::vector<box>& boxes)
{
    bmp sheet;
    ASSERT_TRUE(load_bmp(tex_dir() + "/" + name, sheet));
    ASSERT_EQ(sheet.bits, 8u);
    std::vector<int> inked(boxes.size(), 0);
    int stray = 0, on_edge = 0;
    for (int y = 0; y < sheet.height; ++y)
        for (int x = 0; x < sheet.width; ++x) {
            if (*sheet.at(x, y) == 0)
                continue;
            bool in_any = false;
            for (size_t i = 0; i < boxes.size(); ++i) {
                const box r{boxes[i].x0, boxes[i].y0, std::min(boxes[i].x1, sheet.width),
                            std::min(boxes[i].y1, sheet.height)};
                if (!inside(r, x, y))
                    continue;
                in_any = true;
                ++inked[i];
                on_edge += !inside({r.x0 + 2, r.y0 + 2, r.x1 - 2, r.y1 - 2}, x, y);
            }
            stray += !in_any;
        }
    EXPECT_EQ(stray, 0) << name << ": pixels with coverage outside every caption box";
    EXPECT_EQ(on_edge, 0) << name << ": lettering touches the edge of its box";
    for (size_t i = 0; i < boxes.size(); ++i)
        EXPECT_GT(inked[i], 200) << name << ": caption " << i << " is (nearly) empty";
}

// Runs a shell command line, returning its exit status (-1 if it did not exit).
int run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string make_temp_dir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/mkart_test.XXXXXX";
    if (!mkdtemp(pattern.data()))
        return "";
    return pattern;
}

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

TEST(mkart_files, all_twelve_have_the_expected_format)
{
    struct expected {
        std::string name;
        int side;
        uint32_t bits;
    };
    std::vector<expected> files;
    for (const char* n : card_names)
        files.push_back({n, 512, 24});
    files.push_back({"photo", 1024, 24});
    files.push_back({"string", 1024, 8});
    files.push_back({"string2", 1024, 8});

    for (const expected& e : files) {
        SCOPED_TRACE(e.name);
        bmp f;
        if (!load_bmp(tex_dir() + "/" + e.name + ".bmp", f))
            continue;
        EXPECT_EQ(f.width, e.side);
        EXPECT_EQ(f.height, e.side) << "height must be positive (bottom-up rows)";
        EXPECT_EQ(f.bits, e.bits);
        EXPECT_EQ(f.compression, 0u);
        EXPECT_EQ(f.size_image, uint32_t(e.side) * uint32_t(e.side) * e.bits / 8);
        const uint32_t palette = e.bits == 8 ? 1024u : 0u;
        EXPECT_EQ(f.off_bits, 54u + palette);
        EXPECT_EQ(f.clr_used, e.bits == 8 ? 256u : 0u);
        EXPECT_EQ(f.bytes.size(), f.off_bits + f.size_image);
        if (e.bits == 8 && f.bytes.size() >= 54 + palette) {
            int wrong = 0;
            for (uint32_t i = 0; i < 256; ++i) {
                const size_t at = 54 + 4 * i;
                wrong += f.bytes[at] != i || f.bytes[at + 1] != i || f.bytes[at + 2] != i || f.bytes[at + 3] != 0;
            }
            EXPECT_EQ(wrong, 0) << "palette is not a grey ramp";
        }
    }
}

TEST(mkart_files, closing_captions_stay_inside_their_boxes)
{
    check_sheet("string.bmp", sheet0_boxes);
}

TEST(mkart_files, caption_strips_stay_inside_their_boxes)
{
    check_sheet("string2.bmp", sheet1_boxes);
}

TEST(mkart_files, number_cards_all_differ)
{
    std::vector<std::vector<uint8_t>> cards;
    for (const char* n : card_names) {
        bmp f;
        ASSERT_TRUE(load_bmp(tex_dir() + "/" + n + ".bmp", f));
        cards.push_back(f.pixels);
    }
    for (size_t i = 0; i < cards.size(); ++i)
        for (size_t j = i + 1; j < cards.size(); ++j)
            EXPECT_NE(cards[i], cards[j]) << card_names[i] << ".bmp and " << card_names[j] << ".bmp are the same";
}

TEST(mkart_files, photo_is_a_picture)
{
    bmp f;
    ASSERT_TRUE(load_bmp(tex_dir() + "/photo.bmp", f));
    ASSERT_EQ(f.bits, 24u);
    // A scene, not a flat fill: the top of the sky is darker than the sky just above
    // the horizon, and many distinct colours occur.
    auto brightness = [&](int y) {
        long sum = 0;
        for (int x = 0; x < f.width; ++x)
            sum += f.at(x, y)[0] + f.at(x, y)[1] + f.at(x, y)[2];
        return sum / f.width;
    };
    EXPECT_LT(brightness(5), brightness(f.height / 2));
    std::vector<bool> seen(1 << 15, false);
    int distinct = 0;
    for (size_t i = 0; i + 2 < f.pixels.size(); i += 3) {
        const int key = (f.pixels[i] >> 3) << 10 | (f.pixels[i + 1] >> 3) << 5 | f.pixels[i + 2] >> 3;
        distinct += !seen[size_t(key)];
        seen[size_t(key)] = true;
    }
    EXPECT_GT(distinct, 500);
}

TEST(mkart_program, output_is_identical_from_run_to_run)
{
    const char* mkart = std::getenv("VEXA_MKART");
    if (!mkart || !*mkart)
        GTEST_SKIP() << "VEXA_MKART is not set";
    const std::string a = make_temp_dir(), b = make_temp_dir();
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    ASSERT_EQ(run(quoted(mkart) + " " + quoted(a + "/out")), 0);
    ASSERT_EQ(run(quoted(mkart) + " " + quoted(b + "/out")), 0);
    std::vector<std::string> names(std::begin(card_names), std::end(card_names));
    names.insert(names.end(), {"photo", "string", "string2"});
    for (const std::string& n : names) {
        const std::vector<uint8_t> first = read_file(a + "/out/" + n + ".bmp");
        EXPECT_FALSE(first.empty()) << n;
        EXPECT_TRUE(first == read_file(b + "/out/" + n + ".bmp")) << n << ".bmp differs between runs";
    }
    run("rm -rf " + quoted(a) + " " + quoted(b));
}

TEST(mkart_program, reports_a_missing_font_and_an_unwritable_directory)
{
    const char* mkart = std::getenv("VEXA_MKART");
    if (!mkart || !*mkart)
        GTEST_SKIP() << "VEXA_MKART is not set";
    const std::string dir = make_temp_dir();
    ASSERT_FALSE(dir.empty());
    const std::string err = dir + "/stderr";

    // No fonts where MKART_FONT_DIR points.
    EXPECT_EQ(run("MKART_FONT_DIR=" + quoted(dir + "/fonts") + " " + quoted(mkart) + " " + quoted(dir + "/out") +
                  " 2>" + quoted(err)),
              1);
    std::string message = read_text(err);
    EXPECT_EQ(message.rfind("mkart: ", 0), 0u) << message;
    EXPECT_NE(message.find("font"), std::string::npos) << message;

    // The target is an existing regular file, so no directory can be made there.
    std::ofstream(dir + "/plain") << "x";
    EXPECT_EQ(run(quoted(mkart) + " " + quoted(dir + "/plain") + " 2>" + quoted(err)), 1);
    message = read_text(err);
    EXPECT_EQ(message.rfind("mkart: ", 0), 0u) << message;
    EXPECT_EQ(message.find('\n'), message.size() - 1) << "expected exactly one line: " << message;

    run("rm -rf " + quoted(dir));
}
