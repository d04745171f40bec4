// art_test.cpp - checks the artwork that vexa-art writes: file format of all twelve
// BMPs, caption lettering confined to its boxes, distinct number cards, the default
// artwork's bytes, and the program: identical output from run to run, the spellings
// of its options, whole-set output (failing, concurrent and interrupted runs) and
// its refusals (bad input, FIFOs, texts too long for its memory bound).
//
// Reads the default artwork from $VEXA_TEX_DIR (default "tex"); runs the program
// named by $VEXA_ART (default "./vexa-art").
#include "art_sizes.h"
#include "sheet_rects.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
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
    const int k = art_sheet_side / caption_sheet_size;  // sheet pixels per unit of the show's grid
    return {(int)r[0][0] * k, (int)r[0][1] * k, (int)r[1][0] * k, (int)r[1][1] * k};
}

// Where the show cuts its captions from: the show's own rectangles, on the sheet.
const std::vector<box> sheet0_boxes = {sheet_box(my_string_fin_bmp), sheet_box(my_string_soredake_bmp)};
const std::vector<box> sheet1_boxes = [] {
    std::vector<box> v;
    for (const auto& r : my_string2_strings_bmp)
        v.push_back(sheet_box(r));
    return v;
}();
const char* const card_names[] = {"5", "4", "3", "2", "1", "0", "-1", "-2", "-3"};
const char* const all_names[] = {"5", "4", "3", "2", "1", "0", "-1", "-2", "-3", "photo", "string", "string2"};

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
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/art_test.XXXXXX";
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

TEST(art_files, all_twelve_have_the_expected_format)
{
    struct expected {
        std::string name;
        int side;
        uint32_t bits;
    };
    std::vector<expected> files;
    for (const char* n : card_names)
        files.push_back({n, art_card_side, 24});
    files.push_back({"photo", art_photo_side, 24});
    files.push_back({"string", art_sheet_side, 8});
    files.push_back({"string2", art_sheet_side, 8});

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

TEST(art_files, closing_captions_stay_inside_their_boxes)
{
    check_sheet("string.bmp", sheet0_boxes);
}

TEST(art_files, caption_strips_stay_inside_their_boxes)
{
    check_sheet("string2.bmp", sheet1_boxes);
}

TEST(art_files, number_cards_all_differ)
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

TEST(art_files, photo_is_a_picture)
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

namespace {

std::string art_program()
{
    const char* path = std::getenv("VEXA_ART");
    return path && *path ? path : "./vexa-art";
}

// FNV-1a, 64 bits: enough to notice any change of a file.
uint64_t fnv1a(const std::vector<uint8_t>& bytes)
{
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes)
        h = (h ^ b) * 0x100000001b3ull;
    return h;
}

// The twelve files of an artwork directory, by name; empty where one is missing.
std::vector<std::vector<uint8_t>> artwork(const std::string& dir)
{
    std::vector<std::vector<uint8_t>> files;
    for (const char* n : all_names)
        files.push_back(read_file(dir + "/" + n + ".bmp"));
    return files;
}

// Runs vexa-art with arguments (already quoted for the shell), its stderr in *err;
// input, when given, is its standard input, env a variable assignment for it or a
// shell command before it. A run that hangs is ended after a minute (status 124).
int run_art(const std::string& args, std::string* err, const std::string& input = "", const std::string& env = "")
{
    char name[] = "/tmp/art_test_err.XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        return -1;
    close(fd);
    const std::string feed = input.empty() ? "" : "printf %s " + quoted(input) + " | ";
    const int status = run(feed + env + " timeout 60 " + quoted(art_program()) + " " + args + " 2>" + quoted(name));
    *err = read_text(name);
    std::remove(name);
    return status;
}

}  // namespace

// The default artwork changes only on purpose: then these are updated with it.
TEST(art_files, default_artwork_bytes_are_pinned)
{
    const struct {
        const char* name;
        uint64_t hash;
    } pinned[] = {
        {"5", 0x7d81d79fe4264c83ull},    {"4", 0x6169a92822311e2bull},    {"3", 0x006fd5a06be2de19ull},
        {"2", 0x18d9ca9a44331bdeull},    {"1", 0xc33b6c478d8c92c7ull},    {"0", 0xad6c8dcef5615feaull},
        {"-1", 0x0d855b3d04347863ull},   {"-2", 0x73090f32de814f12ull},   {"-3", 0x8c7d752493aa403dull},
        {"photo", 0xc083c827d8b9aafcull}, {"string", 0xd74081fddada559eull}, {"string2", 0x09c7add30d06f6d7ull},
    };
    for (const auto& p : pinned)
        EXPECT_EQ(fnv1a(read_file(tex_dir() + "/" + p.name + ".bmp")), p.hash)
            << p.name << ".bmp differs from the pinned default artwork";
}

TEST(art_program, same_inputs_same_bytes_whatever_the_spelling)
{
    const std::string dir = make_temp_dir();
    ASSERT_FALSE(dir.empty());
    std::ofstream(dir + "/lines") << "hallo\nbis bald\n";
    std::ofstream(dir + "/empty");
    std::ofstream(dir + "/crlf") << "hallo\r\nbis bald\r\n";
    std::string err;
    const struct {
        const char* out;
        std::string args;
        std::string input;
    } runs[] = {
        {"a", "--title Danke --line hallo --line 'bis bald'", ""},
        {"b", "--line hallo --lines " + quoted(dir + "/empty") + " --title Danke --lines " + quoted(dir + "/empty") +
                  " --line 'bis bald'",
         ""},
        {"c", "--title Danke --lines " + quoted(dir + "/lines"), ""},
        {"d", "--title Danke --lines -", "hallo\nbis bald"},
        {"e", "--title Danke --lines " + quoted(dir + "/crlf"), ""},  // a Windows editor's line ends
    };
    for (const auto& r : runs) {
        EXPECT_EQ(run_art("-o " + quoted(dir + "/" + r.out) + " " + r.args, &err, r.input), 0) << r.out << ": " << err;
        EXPECT_EQ(err, "") << r.out;
    }
    const auto first = artwork(dir + "/a");
    for (const char* other : {"b", "c", "d", "e"})
        EXPECT_TRUE(artwork(dir + "/" + other) == first) << other << " differs";
    // Only the strips and the title changed from the default artwork.
    const auto defaults = artwork(tex_dir());
    for (size_t i = 0; i < first.size(); ++i) {
        const bool changed = std::string(all_names[i]).rfind("string", 0) == 0;
        EXPECT_EQ(first[i] != defaults[i], changed) << all_names[i];
    }

    // --photo-image is --photo; a character no font has is named, the rest is written.
    std::vector<uint8_t> wide(300 * 200 * 3);
    for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = uint8_t(i * 7 / 3);
    const std::string png = dir + "/wide.png";
    ASSERT_TRUE(stbi_write_png(png.c_str(), 300, 200, 3, wide.data(), 300 * 3));
    EXPECT_EQ(run_art("-o " + quoted(dir + "/p1") + " --photo " + quoted(png), &err), 0) << err;
    EXPECT_EQ(run_art("-o " + quoted(dir + "/p2") + " --photo-image " + quoted(png) + " --title " +
                          quoted("a\xf4\x8f\xbf\xbd"),
                      &err),
              0);
    EXPECT_EQ(err, "vexa-art: the title: no font has U+10FFFD\n");
    EXPECT_TRUE(read_file(dir + "/p1/photo.bmp") == read_file(dir + "/p2/photo.bmp"));
    EXPECT_FALSE(read_file(dir + "/p1/photo.bmp") == artwork(tex_dir())[9]);

    // Hangul and Chinese, which DejaVu lacks, come from an installed face: ink, no
    // message.
    EXPECT_EQ(run_art("-o " + quoted(dir + "/k") + " --line " + quoted("\xea\xb0\x90\xec\x82\xac\xed\x95\xa9\xeb\x8b\x88\xeb\x8b\xa4") +
                          " --line " + quoted("\xe8\xb0\xa2\xe8\xb0\xa2"),
                      &err),
              0);
    EXPECT_EQ(err, "");
    bmp sheet;
    ASSERT_TRUE(load_bmp(dir + "/k/string2.bmp", sheet));
    for (int i = 0; i < 2; ++i) {
        const box& b = sheet1_boxes[size_t(i)];
        long ink = 0;
        for (int y = b.y0; y < b.y1; ++y)
            for (int x = b.x0; x < std::min(b.x1, sheet.width); ++x)
                ink += *sheet.at(x, y) > 128;
        EXPECT_GT(ink, 500) << "line " << i + 1;
    }
    run("rm -rf " + quoted(dir));
}

namespace {

// What lies beside the output directory out, but for out itself and names in keep.
std::string beside(const std::string& dir, const std::string& keep)
{
    std::string names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (keep.find(" " + name + " ") == std::string::npos)
            names += name + " ";
    }
    return names;
}

pid_t start_art(const std::vector<std::string>& args)
{
    const std::string program = art_program();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (!freopen("/dev/null", "w", stderr))
            _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

}  // namespace

TEST(art_program, failing_concurrent_and_interrupted_runs_leave_a_whole_set)
{
    const std::string dir = make_temp_dir();
    ASSERT_FALSE(dir.empty());
    const std::string out = dir + "/out";
    std::string err;
    ASSERT_EQ(run_art("-o " + quoted(out) + " --title old", &err), 0) << err;
    ASSERT_EQ(run_art("-o " + quoted(dir + "/new") + " --title new", &err), 0) << err;
    const auto before = artwork(out), fresh = artwork(dir + "/new");
    std::ofstream(dir + "/bad.jpg") << "\xff\xd8\xff not really a JPEG";
    std::ofstream(dir + "/notes") << "mine";

    // Failing runs: the old set, nothing beside it, a user's own file untouched.
    const struct {
        const char* name;
        std::string prepare, args, message, undo, env = "";
    } failing[] = {
        {"bad photo", "", "--photo " + quoted(dir + "/bad.jpg"), dir + "/bad.jpg: a broken JPEG", ""},
        {"a file of the user's", "cp " + quoted(dir + "/notes") + " " + quoted(out + "/5.bmp.new"), "",
         "holds 5.bmp.new, which is not artwork", "rm " + quoted(out + "/5.bmp.new")},
        {"a directory in place of a file", "mv " + quoted(out + "/5.bmp") + " " + quoted(dir + "/5.bmp") + " && mkdir " + quoted(out + "/5.bmp"),
         "", out + "/5.bmp: not a regular file",
         "rmdir " + quoted(out + "/5.bmp") + " && mv " + quoted(dir + "/5.bmp") + " " + quoted(out + "/5.bmp")},
        // A write that fails part-way (a file size limit, as a full disk would): the
        // files written so far and the new directory are removed.
        {"a failed write", "", "", "File too large", "", "trap '' XFSZ; ulimit -f 1000;"},
    };
    for (const auto& f : failing) {
        SCOPED_TRACE(f.name);
        if (!f.prepare.empty()) {
            ASSERT_EQ(run(f.prepare), 0);
        }
        EXPECT_EQ(run_art("-o " + quoted(out + "/") + " --title new " + f.args, &err, "", f.env), 1);
        EXPECT_NE(err.find(f.message), std::string::npos) << err;
        EXPECT_EQ(err.find("//"), std::string::npos) << err;
        if (!f.undo.empty()) {
            ASSERT_EQ(run(f.undo), 0);
        }
        EXPECT_TRUE(artwork(out) == before) << "a failed run changed the artwork";
        EXPECT_EQ(beside(dir, " out new bad.jpg notes "), "");
    }
    EXPECT_EQ(read_text(dir + "/notes"), "mine");

    // A new set keeps the directory's permissions.
    struct stat st;
    ASSERT_EQ(chmod(out.c_str(), 0750), 0);
    EXPECT_EQ(run_art("-o " + quoted(out) + " --title old", &err), 0) << err;
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    ASSERT_EQ(chmod(out.c_str(), 0755), 0);

    // Two runs at once: both succeed, and the directory holds one whole set.
    for (int round = 0; round < 2; ++round) {
        const pid_t a = start_art({"-o", out, "--title", "old"}), b = start_art({"-o", out, "--title", "new"});
        int status_a = -1, status_b = -1;
        waitpid(a, &status_a, 0);
        waitpid(b, &status_b, 0);
        EXPECT_TRUE(WIFEXITED(status_a) && WEXITSTATUS(status_a) == 0);
        EXPECT_TRUE(WIFEXITED(status_b) && WEXITSTATUS(status_b) == 0);
        const auto now = artwork(out);
        EXPECT_TRUE(now == before || now == fresh) << "round " << round << ": a mixture of two runs";
        EXPECT_EQ(beside(dir, " out new bad.jpg notes "), "");
    }

    // A signal while the files are written: the run ends by it and leaves nothing.
    run_art("-o " + quoted(out) + " --title old", &err);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        const pid_t pid = start_art({"-o", out, "--title", "new"});
        bool seen = false;
        int status = -1;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (!beside(dir, " out new bad.jpg notes ").empty()) {
                seen = true;
                kill(pid, sig);
                waitpid(pid, &status, 0);
                break;
            }
            usleep(1000);  // leave the core to the run being watched
        }
        EXPECT_TRUE(seen) << "the run ended before it wrote anything";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        const auto now = artwork(out);
        EXPECT_TRUE(now == before || now == fresh);
        EXPECT_EQ(beside(dir, " out new bad.jpg notes "), "") << "left behind";
    }
    run("rm -rf " + quoted(dir));
}

TEST(art_program, refuses_bad_input_with_one_message_and_writes_nothing)
{
    const std::string dir = make_temp_dir();
    ASSERT_FALSE(dir.empty());
    const std::string out = quoted(dir + "/out");
    std::ofstream(dir + "/bad.png") << "\x89PNG\r\n\x1a\n but then nothing of a PNG";
    std::ofstream(dir + "/eight") << "1\n2\n3\n4\n5\n6\n7\n8\n";
    std::ofstream(dir + "/plain") << "x";
    std::ofstream(dir + "/nul") << std::string("ok\nab\0cd\n", 9);
    // A bitmap-only face (FreeType reads it; it has one size, 8 pixels).
    std::ofstream(dir + "/bitmap.bdf") << "STARTFONT 2.1\nFONT -x-y-medium-r-normal--8-80-75-75-c-80-iso10646-1\n"
                                          "SIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 0\nCHARS 1\nSTARTCHAR A\n"
                                          "ENCODING 65\nSWIDTH 500 0\nDWIDTH 8 0\nBBX 8 1 0 0\nBITMAP\nFF\n"
                                          "ENDCHAR\nENDFONT\n";
    run("mkdir " + quoted(dir + "/foreign") + " && touch " + quoted(dir + "/foreign/notes.txt"));
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
#if defined(__SANITIZE_ADDRESS__)
    const std::string memory_bound = "";  // the sanitizer reserves more address space than that
#else
    const std::string memory_bound = "ulimit -v 200000;";
#endif
    const std::string eight_lines = "--line 1 --line 2 --line 3 --line 4 --line 5 --line 6 --line 7 --line 8";
    const struct {
        std::string args;
        int status;
        std::string names;  // what the message must contain
        std::string env = "";
    } cases[] = {
        {"-o " + out, 1, "DejaVuSans.ttf: font not found", "VEXA_ART_FONT_DIR=" + quoted(dir + "/foreign/")},
        {"-o " + out + " --photo " + quoted(dir + "/none.jpg"), 1, dir + "/none.jpg: No such file"},
        {"-o " + out + " --photo " + quoted(dir + "/bad.png"), 1, dir + "/bad.png: "},
        {"-o " + out + " --font " + quoted(dir + "/none.ttf"), 1, dir + "/none.ttf: No such file"},
        {"-o " + out + " --caption-font " + quoted(dir + "/plain"), 1, dir + "/plain: not a font"},
        {"-o " + out + " --lines " + quoted(dir + "/none.txt"), 1, dir + "/none.txt: No such file"},
        {"-o " + out + " --line " + std::string(120, 'w'), 1, "line 1 \"" + std::string(40, 'w') + "\"... does not fit"},
        {"-o " + out + " --title " + quoted("\xff"), 1, "the title is not valid UTF-8"},
        {"-o " + out + " " + eight_lines, 2, "at most 7 lines"},
        {"-o " + out + " --lines " + quoted(dir + "/eight"), 2, "at most 7 lines"},
        {"-o ''", 2, "output directory name is empty"},
        {"--title x", 2, "no output directory"},
        {"-o " + out + " --bogus", 2, "unknown option '--bogus'"},
        {"-o " + out + " --title", 2, "option '--title' needs a value"},
        {"-o " + out + " stray", 2, "unexpected argument 'stray'"},
        {"-o " + quoted(dir + "/plain"), 1, dir + "/plain: not a directory"},
        {"-o " + quoted(dir + "/foreign/"), 1, dir + "/foreign holds notes.txt"},
        {"-o " + out + " --title " + quoted("a\nb"), 1, "the title \"a\\nb\": a line break cannot be set"},
        {"-o " + out + " --line " + quoted("a\tb"), 1, "line 1 \"a\\tb\": a tab cannot be set"},
        // Every control character, and the line and paragraph separators, as a line feed is.
        {"-o " + out + " --title " + quoted("a\x7f" "b"), 1, "the title \"a\\x7fb\": a control character cannot be set"},
        {"-o " + out + " --subtitle " + quoted("a\xc2\x85" "b"), 1, "the subtitle \"a\\u0085b\": a line break cannot"},
        {"-o " + out + " --line " + quoted("a\xc2\x9b" "b"), 1, "line 1 \"a\\u009bb\": a control character cannot"},
        {"-o " + out + " --line x --line " + quoted("a\xe2\x80\xa8" "b"), 1, "line 2 \"a\\u2028b\": a line break"},
        {"-o " + out + " --line " + quoted("a\xe2\x80\xa9" "b"), 1, "line 1 \"a\\u2029b\": a line break"},
        {"-o " + out + " --lines " + quoted(dir + "/nul"), 1, "line 2 \"ab\\x00cd\": a control character cannot"},
        {"-o " + out + " --font " + quoted(dir + "/bitmap.bdf"), 1, dir + "/bitmap.bdf: a bitmap font, which cannot"},
        {"-o " + out + " --caption-font " + quoted(dir + "/bitmap.bdf"), 1, dir + "/bitmap.bdf: a bitmap font"},
        // Letters of 12 to 15 pixels are too small.
        {"-o " + out + " --line x --line " + quoted("thanks to all of you who came"), 1,
         "line 2 \"thanks to all of you who came\" does not fit its 256x64 box"},
        // Refused in bounded memory, quoting the first 40 characters.
        {"-o " + out + " --title " + std::string(100000, 'x'), 1,
         "the title \"" + std::string(40, 'x') + "\"... does not fit", memory_bound},
        {"-o " + out + " --line " + std::string(120000, 'y'), 1,
         "line 1 \"" + std::string(40, 'y') + "\"... does not fit", memory_bound},
        // Never waiting on a FIFO, never reading a device forever.
        {"-o " + out + " --font " + quoted(fifo), 1, fifo + ": not a regular file"},
        {"-o " + out + " --caption-font " + quoted(fifo), 1, fifo + ": not a regular file"},
        {"-o " + out + " --photo " + quoted(fifo), 1, fifo + ": not a regular file"},
        {"-o " + out + " --photo-image " + quoted(fifo), 1, fifo + ": not a regular file"},
        {"-o " + out + " --lines " + quoted(fifo), 1, fifo + ": not a regular file"},
        {"-o " + out + " --lines /dev/zero", 1, "/dev/zero: not a regular file"},
        {"-o " + out + " --lines -", 1, "standard input: more than ", "head -c 100000 /dev/zero |"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        std::string err;
        EXPECT_EQ(run_art(c.args, &err, "", c.env), c.status);
        EXPECT_EQ(err.rfind("vexa-art: ", 0), 0u) << err;
        EXPECT_NE(err.find(c.names), std::string::npos) << err;
        EXPECT_EQ(err.find("//"), std::string::npos) << err;
        const std::string rest = c.status == 2 ? "\nTry 'vexa-art --help' for more information.\n" : "\n";
        EXPECT_EQ(err.find('\n'), err.size() - rest.size()) << "expected one line, then" << rest << err;
        EXPECT_EQ(err.substr(std::min(err.find('\n'), err.size())), rest) << err;
        EXPECT_NE(run("test -e " + out), 0) << "the output directory was made";
        run("rm -rf " + out);  // the next row starts clean
        EXPECT_EQ(run("test \"$(ls " + quoted(dir + "/foreign") + ")\" = notes.txt"), 0);
    }
    run("rm -rf " + quoted(dir));
}

TEST(art_program, help_and_version)
{
    std::string err;
    EXPECT_EQ(run(quoted(art_program()) + " --help | grep -q -- '--caption-font FILE'"), 0);
    EXPECT_EQ(run(quoted(art_program()) + " -V | grep -qx 'vexa-art " VEXA_VERSION "'"), 0);
    EXPECT_EQ(run_art("-h", &err), 0);
    EXPECT_EQ(err, "");
}
