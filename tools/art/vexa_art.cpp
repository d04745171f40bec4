// vexa_art.cpp - the artwork directory from texts, fonts and a photo: finds and
// opens the faces, paints the twelve pictures in memory, then writes them all or
// none. See vexa_art.h for the interface.
#include "vexa_art.h"

#include "art.h"
#include "bmp.h"
#include "photo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// Today's words, used for every text that is not set.
const char* const default_title = "FIN";
const char* const default_subtitle = "thank you for watching";
// Chosen so that, at one common letter height, each about fills its strip.
const char* const default_lines[8] = {
    "see you next time",           "the end",
    "and that was the whole show", "thanks for watching",
    "sweet dreams",                "the lights are coming up",
    "we hope you enjoyed the show", "until we meet again, bye",
};

struct failure {
    std::string what;
};

std::string printf_string(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string printf_string(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// --- fonts --------------------------------------------------------------------------

std::string find_font(const std::string& name)
{
    static const char* const system_dirs[] = {
        "/usr/share/fonts/truetype/dejavu",
        "/usr/share/fonts/dejavu",
        "/usr/share/fonts/TTF",
        "/usr/share/fonts/truetype/ttf-dejavu",
        "/usr/local/share/fonts/dejavu",
        "/usr/local/share/fonts",
    };
    std::vector<std::string> dirs;
    if (const char* env = std::getenv("VEXA_ART_FONT_DIR"); env && *env)
        dirs.push_back(env);
    else
        dirs.assign(std::begin(system_dirs), std::end(system_dirs));
    for (const std::string& dir : dirs) {
        const std::string path = dir + "/" + name;
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec))
            return path;
    }
    throw failure{"font " + name + " not found (install fonts-dejavu-core or set VEXA_ART_FONT_DIR)"};
}

FT_Face open_face(FT_Library library, const std::string& path)
{
    if (FILE* f = std::fopen(path.c_str(), "rb"))
        std::fclose(f);
    else
        throw failure{"cannot open font " + path + ": " + std::strerror(errno)};
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0)
        throw failure{path + ": not a font FreeType can read"};
    return face;
}

struct faces {
    FT_Face sans, sans_bold;         // the fallbacks, and the number cards' face
    text_style title, subtitle, strips;
};

faces open_faces(FT_Library library, const art_texts& texts)
{
    faces f;
    f.sans = open_face(library, find_font("DejaVuSans.ttf"));
    f.sans_bold = open_face(library, find_font("DejaVuSans-Bold.ttf"));
    if (texts.caption_font) {
        const FT_Face caption = open_face(library, texts.caption_font);
        f.title = {caption, f.sans_bold};
        f.subtitle = {caption, f.sans};
    } else {
        f.title = {open_face(library, find_font("DejaVuSerif-Bold.ttf")), f.sans_bold};
        f.subtitle = {open_face(library, find_font("DejaVuSerif.ttf")), f.sans};
    }
    f.strips = {texts.font ? open_face(library, texts.font) : f.sans_bold, f.sans_bold};
    return f;
}

// --- caption sheets -----------------------------------------------------------------

std::u32string decoded(const std::string& text, const std::string& what)
{
    std::u32string out;
    if (!decode_utf8(text, out))
        throw failure{what + " is not valid UTF-8"};
    return out;
}

// Sets one text, reporting the characters no face has; refuses one that would need
// letters below the smallest size.
void set_text(grey_image& sheet, const text_style& style, const std::string& utf8, const pixel_box& box,
              fit_mode mode, const std::string& what, const char* program)
{
    const std::u32string text = decoded(utf8, what);
    const text_layout layout = layout_text(style, text);
    if (!layout.missing.empty()) {
        std::string list;
        for (char32_t c : layout.missing)
            list += printf_string(" U+%04X", unsigned(c));
        std::fprintf(stderr, "%s: %s: no font has%s\n", program, what.c_str(), list.c_str());
    }
    const double size = set_caption(sheet, style, text, box, mode);
    if (size > 0.0 && size < min_letter_px)
        throw failure{what + " \"" + utf8 + "\"" +
                      printf_string(" does not fit its %dx%d box with letters of %.0f pixels or more",
                                    (box.x1 - box.x0) / sheet_scale, (box.y1 - box.y0) / sheet_scale,
                                    min_letter_px / sheet_scale)};  // in the show's 1024 grid
}

grey_image captions(const faces& f, const art_texts& texts, const char* program)
{
    grey_image sheet = blank_sheet();
    set_text(sheet, f.title, texts.title ? texts.title : default_title, sheet0_boxes[0], fit_mode::ink, "the title",
             program);
    set_text(sheet, f.subtitle, texts.subtitle ? texts.subtitle : default_subtitle, sheet0_boxes[1], fit_mode::ink,
             "the subtitle", program);
    return sheet;
}

grey_image strips(const faces& f, const art_texts& texts, const char* program)
{
    grey_image sheet = blank_sheet();
    for (size_t i = 0; i < 8; ++i) {
        const std::string text = !texts.lines_set ? default_lines[i] : i < texts.lines.size() ? texts.lines[i] : "";
        set_text(sheet, f.strips, text, sheet1_boxes[i], fit_mode::line, "line " + std::to_string(i + 1), program);
    }
    return sheet;
}

// --- output -------------------------------------------------------------------------

struct file {
    std::string name;
    std::vector<uint8_t> bytes;
};

const char* const temporary_suffix = ".new";

bool is_artwork_name(const std::string& name)
{
    for (const std::string& n : art_file_names())
        if (name == n || name == n + temporary_suffix)
            return true;
    return false;
}

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    return std::fclose(f) == 0 && ok;
}

// Makes dir ready: created when missing (true in created), refused when it is not a
// directory or holds anything but artwork.
void prepare_dir(const std::string& dir, bool& created)
{
    created = false;
    struct stat st;
    if (stat(dir.c_str(), &st) != 0) {
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (ec)
            throw failure{"cannot create directory " + dir + ": " + ec.message()};
        created = true;
        return;
    }
    if (!S_ISDIR(st.st_mode))
        throw failure{dir + " is not a directory"};
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!is_artwork_name(name))
            throw failure{dir + " holds " + name + ", which is not artwork; give a new or an artwork directory"};
    }
    if (ec)
        throw failure{"cannot read directory " + dir + ": " + ec.message()};
}

void write_all(const std::string& dir, const std::vector<file>& files)
{
    bool created = false;
    prepare_dir(dir, created);
    std::vector<std::string> written;
    auto undo = [&](const std::string& what) {
        for (const std::string& path : written)
            unlink(path.c_str());
        if (created)
            rmdir(dir.c_str());
        return failure{what};
    };
    for (const file& f : files) {
        const std::string temporary = dir + "/" + f.name + temporary_suffix;
        written.push_back(temporary);
        if (!write_bytes(temporary, f.bytes))
            throw undo("cannot write " + temporary + ": " + std::strerror(errno));
    }
    for (size_t i = 0; i < files.size(); ++i)
        if (std::rename(written[i].c_str(), (dir + "/" + files[i].name).c_str()) != 0)
            throw undo("cannot rename " + written[i] + ": " + std::strerror(errno));
}

void make_all(const std::string& dir, const art_texts& texts, FT_Library library, const char* program)
{
    if (dir.empty())
        throw failure{"no output directory given"};
    if (texts.lines.size() > art_max_lines)
        throw failure{printf_string("at most %d lines are shown, %zu given", int(art_max_lines), texts.lines.size())};
    const faces f = open_faces(library, texts);

    // The parts that can fail on the person's input first, the long painting last.
    std::vector<file> files;
    files.push_back({"string.bmp", encode_bmp8(sheet_side, sheet_side, captions(f, texts, program).px)});
    files.push_back({"string2.bmp", encode_bmp8(sheet_side, sheet_side, strips(f, texts, program).px)});
    std::vector<uint8_t> photo;
    if (texts.photo) {
        std::string why;
        if (!load_backdrop(texts.photo, photo_side, photo, why))
            throw failure{std::string(texts.photo) + ": " + why};
    } else {
        photo = make_photo();
    }
    files.push_back({"photo.bmp", encode_bmp24(photo_side, photo_side, photo)});
    const double numeral_px = card_numeral_size(f.sans_bold);
    for (int n = 5; n >= -3; --n)
        files.push_back({std::to_string(n) + ".bmp", encode_bmp24(card_side, card_side, make_card(f.sans_bold, n, numeral_px))});
    write_all(dir, files);
}

}  // namespace

const std::vector<std::string>& art_file_names()
{
    static const std::vector<std::string> names = {"5.bmp",  "4.bmp",  "3.bmp",     "2.bmp",      "1.bmp",      "0.bmp",
                                                   "-1.bmp", "-2.bmp", "-3.bmp", "photo.bmp", "string.bmp", "string2.bmp"};
    return names;
}

std::vector<std::string> art_shown_words(const art_texts* texts)
{
    std::vector<std::string> words = {texts->title ? texts->title : default_title,
                                      texts->subtitle ? texts->subtitle : default_subtitle};
    for (size_t i = 0; i < art_max_lines; ++i)
        words.push_back(!texts->lines_set ? default_lines[i] : i < texts->lines.size() ? texts->lines[i] : "");
    return words;
}

int art_read_lines(const char* path, art_texts* texts, const char* program)
{
    const bool standard_input = std::strcmp(path, "-") == 0;
    FILE* f = standard_input ? stdin : std::fopen(path, "rb");
    if (!f) {
        std::fprintf(stderr, "%s: cannot open %s: %s\n", program, path, std::strerror(errno));
        return 1;
    }
    std::string all;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        all.append(buffer, got);
    const bool failed = std::ferror(f);
    const int error = errno;
    if (!standard_input)
        std::fclose(f);
    if (failed) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", program, standard_input ? "standard input" : path,
                     std::strerror(error));
        return 1;
    }
    texts->lines_set = true;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos)
            end = all.size();
        std::string line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        texts->lines.push_back(line);
        start = end + 1;
    }
    return 0;
}

int art_write(const char* dir, const art_texts* texts, const char* program)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "%s: cannot start FreeType\n", program);
        return 1;
    }
    int status = 0;
    try {
        make_all(dir ? dir : "", *texts, library, program);
    } catch (const failure& f) {
        std::fprintf(stderr, "%s: %s\n", program, f.what.c_str());
        status = 1;
    }
    FT_Done_FreeType(library);  // also releases the faces
    return status;
}
