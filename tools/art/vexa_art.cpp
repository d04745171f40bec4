// vexa_art.cpp - the artwork directory from texts, fonts and a photo: finds and
// opens the faces, paints the twelve pictures in memory, then writes them all or
// none. See vexa_art.h for the interface.
#include "vexa_art.h"

#include "art.h"
#include "art_files.h"
#include "art_output.h"
#include "bmp.h"
#include "font_fallback.h"
#include "input_file.h"
#include "photo.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

namespace {

// Today's words, used for every text that is not set (the title's is art_default_title).
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
    std::string field = "";  // art_note's field: what the person gave that is refused
};

// The most a --lines file may hold: one line more than the strips, each of as many
// characters as the widest strip could take at the smallest letters, four bytes
// each, and a line end.
constexpr long long max_lines_bytes =
    (art_max_lines + 1) * (sheet_side * max_chars_per_em / (long long)min_letter_px * 4 + 2);

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
        const std::string path = art_path_join(dir, name);
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec))
            return path;
    }
    throw failure{name + ": font not found (install fonts-dejavu-core or set VEXA_ART_FONT_DIR)"};
}

// FreeType reads the font through the descriptor input_open checked, as it needs
// the bytes: the file is never read whole, nor opened a second time.
unsigned long stream_read(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count)
{
    if (count == 0)
        return offset <= stream->size ? 0 : 1;  // a seek: 0 when it succeeds
    const ssize_t n = pread(int(stream->descriptor.value), buffer, count, off_t(offset));
    return n < 0 ? 0 : (unsigned long)n;
}

void stream_close(FT_Stream stream)
{
    close(int(stream->descriptor.value));
    delete stream;
}

// Largest font file taken: the biggest CJK collections are a few tens of MiB.
constexpr long long max_font_bytes = 256LL << 20;

FT_Library the_library;

FT_Face open_face(FT_Library library, const std::string& path, int index = 0, const std::string& field = "")
{
    std::string why;
    long long size = 0;
    const int fd = input_open(path, max_font_bytes, &why, &size);
    if (fd < 0)
        throw failure{path + ": " + why, field};
    FT_Stream stream = new FT_StreamRec();
    stream->size = (unsigned long)size;
    stream->descriptor.value = fd;
    stream->read = stream_read;
    stream->close = stream_close;
    FT_Open_Args args = {};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    FT_Face face = nullptr;
    if (FT_Open_Face(library, &args, index, &face) != 0)  // closes the stream on failure too
        throw failure{path + ": not a font FreeType can read", field};
    return face;
}

// The installed faces found for characters no chosen face has, one per file and
// index, kept until FreeType is done.
std::map<std::pair<std::string, int>, FT_Face> found_faces;

FT_Face find_installed_face(char32_t c)
{
    std::string path;
    int index = 0;
    if (!the_library || !font_fallback_find(c, &path, &index))
        return nullptr;
    const auto key = std::make_pair(path, index);
    if (const auto it = found_faces.find(key); it != found_faces.end())
        return it->second;
    FT_Face face = nullptr;
    try {
        face = open_face(the_library, path, index);
    } catch (const failure&) {
        face = nullptr;  // an unreadable installed face counts as none
    }
    found_faces[key] = face;
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
        const FT_Face caption = open_face(library, texts.caption_font, 0, "caption font");
        f.title = {caption, f.sans_bold, find_installed_face};
        f.subtitle = {caption, f.sans, find_installed_face};
    } else {
        f.title = {open_face(library, find_font("DejaVuSerif-Bold.ttf")), f.sans_bold, find_installed_face};
        f.subtitle = {open_face(library, find_font("DejaVuSerif.ttf")), f.sans, find_installed_face};
    }
    f.strips = {texts.font ? open_face(library, texts.font, 0, "font") : f.sans_bold, f.sans_bold, find_installed_face};
    return f;
}

// --- caption sheets -----------------------------------------------------------------

// A text (valid UTF-8) as a message shows it: in quotes, at most its first 40
// characters, with control characters written as escapes so that the message stays
// one line.
std::string quoted_text(const std::string& utf8)
{
    const size_t shown_chars = 40;
    std::string out = "\"";
    size_t chars = 0, i = 0;
    for (; i < utf8.size() && chars < shown_chars; ++chars) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        length = std::min(length, utf8.size() - i);
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c == 0x7F)
            out += printf_string("\\x%02x", unsigned(c));
        else
            out.append(utf8, i, length);
        i += length;
    }
    return out + (i < utf8.size() ? "\"..." : "\"");
}

// One text the person gives: its field (art_note) and how messages name it.
struct text_field {
    std::string field, what;
};

std::u32string decoded(const std::string& text, const text_field& field)
{
    const std::string& what = field.what;
    std::u32string out;
    if (!decode_utf8(text, out))
        throw failure{what + " is not valid UTF-8", field.field};
    for (char32_t c : out)
        if (c < 0x20 || c == 0x7F)
            throw failure{what + " " + quoted_text(text) + ": " +
                              (c == '\n' || c == '\r' ? "a line break" : c == '\t' ? "a tab" : "a control character") +
                              " cannot be set; give one line of text",
                          field.field};
    return out;
}

// Sets one text, noting the characters no face has; refuses one that would need
// letters below the smallest size.
void set_text(grey_image& sheet, const text_style& style, const std::string& utf8, const pixel_box& box,
              fit_mode mode, const text_field& field, std::vector<art_note>& notes)
{
    const std::u32string text = decoded(utf8, field);
    const double size = set_caption(sheet, style, text, box, mode);
    if (size > 0.0 && size < min_letter_px)
        throw failure{field.what + " " + quoted_text(utf8) +
                          printf_string(" does not fit its %dx%d box with letters of %.0f pixels or more",
                                        (box.x1 - box.x0) / sheet_scale, (box.y1 - box.y0) / sheet_scale,
                                        min_letter_px / sheet_scale),  // in the show's 1024 grid
                      field.field};
    const text_layout layout = layout_text(style, text);
    if (!layout.missing.empty()) {
        std::string list;
        for (char32_t c : layout.missing)
            list += printf_string(" U+%04X", unsigned(c));
        notes.push_back({field.field, field.what + ": no font has" + list});
    }
}

grey_image captions(const faces& f, const art_texts& texts, std::vector<art_note>& notes)
{
    grey_image sheet = blank_sheet();
    set_text(sheet, f.title, texts.title ? texts.title : art_default_title, sheet0_boxes[0], fit_mode::ink,
             {"title", "the title"}, notes);
    set_text(sheet, f.subtitle, texts.subtitle ? texts.subtitle : default_subtitle, sheet0_boxes[1], fit_mode::ink,
             {"subtitle", "the subtitle"}, notes);
    return sheet;
}

grey_image strips(const faces& f, const art_texts& texts, std::vector<art_note>& notes)
{
    grey_image sheet = blank_sheet();
    for (size_t i = 0; i < 8; ++i) {
        const std::string text = !texts.lines_set ? default_lines[i] : i < texts.lines.size() ? texts.lines[i] : "";
        const std::string name = "line " + std::to_string(i + 1);
        set_text(sheet, f.strips, text, sheet1_boxes[i], fit_mode::line, {name, name}, notes);
    }
    return sheet;
}

// The twelve images, in catalogue order (art_files.h).
std::vector<art_image> paint_all(const art_texts& texts, FT_Library library, std::vector<art_note>& notes)
{
    if (texts.lines.size() > art_max_lines)
        throw failure{printf_string("at most %d lines are shown, %zu given", int(art_max_lines), texts.lines.size()),
                      "lines"};
    const faces f = open_faces(library, texts);

    // The parts that can fail on the person's input first, the long painting last.
    std::vector<art_image> files(my_art_file_count);
    files[10] = {"string.bmp", encode_bmp8(sheet_side, sheet_side, captions(f, texts, notes).px)};
    files[11] = {"string2.bmp", encode_bmp8(sheet_side, sheet_side, strips(f, texts, notes).px)};
    std::vector<uint8_t> photo;
    if (texts.photo) {
        std::string why;
        if (!load_backdrop(texts.photo, photo_side, photo, why))
            throw failure{std::string(texts.photo) + ": " + why, "photo"};
    } else {
        photo = make_photo();
    }
    files[9] = {"photo.bmp", encode_bmp24(photo_side, photo_side, photo)};
    std::vector<std::vector<uint8_t>> cards = make_cards(f.sans_bold);
    for (int n = 5; n >= -3; --n) {  // the cards' catalogue names are their numbers
        std::vector<uint8_t>& card = cards[size_t(5 - n)];
        files[size_t(5 - n)] = {std::to_string(n) + ".bmp", encode_bmp24(card_side, card_side, card)};
        std::vector<uint8_t>().swap(card);
    }
    return files;
}

}  // namespace

const char* const art_default_title = "FIN";

std::vector<std::string> art_shown_words(const art_texts* texts)
{
    std::vector<std::string> words = {texts->title ? texts->title : art_default_title,
                                      texts->subtitle ? texts->subtitle : default_subtitle};
    for (size_t i = 0; i < art_max_lines; ++i)
        words.push_back(!texts->lines_set ? default_lines[i] : i < texts->lines.size() ? texts->lines[i] : "");
    return words;
}

int art_read_lines(const char* path, art_texts* texts, const char* program)
{
    const bool standard_input = std::strcmp(path, "-") == 0;
    const char* shown = standard_input ? "standard input" : path;
    std::string why, all;
    const int fd = standard_input ? 0 : input_open(path, max_lines_bytes, &why, nullptr);
    if (fd < 0) {
        std::fprintf(stderr, "%s: %s: %s\n", program, path, why.c_str());
        return 1;
    }
    const bool read = input_read_all(fd, max_lines_bytes, &all, &why);
    if (!standard_input)
        close(fd);
    if (!read) {
        std::fprintf(stderr, "%s: %s: %s\n", program, shown, why.c_str());
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

int art_make(const art_texts* texts, std::vector<art_image>* images, std::vector<art_note>* notes)
{
    images->clear();
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        notes->push_back({"", "cannot start FreeType"});
        return 1;
    }
    the_library = library;
    int status = 0;
    try {
        *images = paint_all(*texts, library, *notes);
    } catch (const failure& f) {
        notes->push_back({f.field, f.what});
        status = 1;
    }
    found_faces.clear();
    the_library = nullptr;
    font_fallback_done();
    FT_Done_FreeType(library);  // also releases the faces
    return status;
}

int art_write(const char* dir, const art_texts* texts, const char* program)
{
    return art_write_show(dir, texts, "", program);
}

int art_write_show(const char* dir, const art_texts* texts, const std::string& show_json, const char* program)
{
    if (!dir || !*dir) {
        std::fprintf(stderr, "%s: no output directory given\n", program);
        return 1;
    }
    std::vector<art_image> images;
    std::vector<art_note> notes;
    const int status = art_make(texts, &images, &notes);
    for (const art_note& note : notes)
        std::fprintf(stderr, "%s: %s\n", program, note.text.c_str());
    if (status != 0)
        return status;
    std::vector<art_output_file> files;
    for (art_image& image : images)
        files.push_back({image.name, std::move(image.bytes)});
    if (!show_json.empty())
        files.push_back({my_art_show_doc, std::vector<uint8_t>(show_json.begin(), show_json.end())});
    std::string why;
    if (!art_output_write(dir, files, &why)) {
        std::fprintf(stderr, "%s: %s\n", program, why.c_str());
        return 1;
    }
    return 0;
}
