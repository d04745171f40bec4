// vexa_art.cpp - the artwork directory from texts, fonts and a photo: finds and
// opens the faces, paints the twelve pictures in memory, then writes them all or
// none. See vexa_art.h for the interface.
#include "vexa_art.h"

#include "art.h"
#include "art_cache.h"
#include "art_files.h"
#include "art_output.h"
#include "bmp.h"
#include "credit_sheets.h"
#include "credits_art.h"
#include "font_fallback.h"
#include "input_file.h"
#include "photo.h"
#include "text_look.h"

#include <fribidi.h>
#include <hb.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <filesystem>
#include <functional>
#include <memory>
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

std::string find_font(const char* font_dir, const std::string& name)
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
    if (font_dir && *font_dir)
        dirs.push_back(font_dir);
    else if (const char* env = std::getenv("VEXA_ART_FONT_DIR"); env && *env)
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
    if (!FT_IS_SCALABLE(face)) {  // a bitmap font (PCF, BDF) has its few sizes only: no ink at ours
        FT_Done_Face(face);
        throw failure{path + ": a bitmap font, which cannot be scaled; give an OpenType or TrueType font", field};
    }
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
    text_style title, subtitle, strips, credits;
};

// The look of texts: its document's, else the classic one.
const show_look& look_of(const art_texts& texts)
{
    static const show_look classic_look;
    return texts.doc ? texts.doc->look : classic_look;
}

// A look's face by family name (the nearest installed one, named in a note when
// it is another family) or by file; null when the look keeps the classic face.
FT_Face look_face(FT_Library library, const char* font_dir, const show_text_look& look, bool classic_bold, const std::string& key,
                  std::vector<art_note>& notes)
{
    if (look.font.empty())
        return nullptr;
    FT_Face face = nullptr;
    if (look.font_is_file) {
        face = open_face(library, look.font, 0, key);
    } else {
        std::string path, found;
        int index = 0;
        const bool bold = look.weight == weight_classic ? classic_bold : look.weight == weight_bold;
        // The faces the artwork carries itself (also where nothing is installed, as in
        // the page), then the installed ones.
        static const struct {
            const char *family, *regular, *bold;
        } carried[] = {{"DejaVu Sans", "DejaVuSans.ttf", "DejaVuSans-Bold.ttf"},
                       {"DejaVu Serif", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf"}};
        for (const auto& c : carried)
            if (strcasecmp(c.family, look.font.c_str()) == 0)
                face = open_face(library, find_font(font_dir, bold ? c.bold : c.regular), 0, key);
        if (face)
            return face;
        if (!font_family_find(look.font, bold, &path, &index, &found))
            throw failure{key + ": no installed face to look \"" + look.font + "\" up in", key};
        face = open_face(library, path, index, key);
        if (strcasecmp(found.c_str(), look.font.c_str()) != 0)
            notes.push_back({key, key + ": \"" + look.font + "\" is not installed; using \"" + found + "\""});
    }
    return face;
}

faces open_faces(FT_Library library, const art_texts& texts, std::vector<art_note>& notes)
{
    if (texts.lines.size() > art_max_lines)  // before any painting
        throw failure{printf_string("at most %d lines are shown, %zu given", int(art_max_lines), texts.lines.size()),
                      "lines"};
    const show_look& look = look_of(texts);
    faces f;
    f.sans = open_face(library, find_font(texts.font_dir, "DejaVuSans.ttf"));
    f.sans_bold = open_face(library, find_font(texts.font_dir, "DejaVuSans-Bold.ttf"));
    // The classic faces, or the weight a look asks of them.
    auto weighted = [&](show_weight weight, bool classic_bold, const char* regular, const char* bold) {
        const bool b = weight == weight_classic ? classic_bold : weight == weight_bold;
        return open_face(library, find_font(texts.font_dir, b ? bold : regular));
    };
    const FT_Face caption = texts.caption_font ? open_face(library, texts.caption_font, 0, "caption font") : nullptr;
    FT_Face title = look_face(library, texts.font_dir, look.title, true, "look.title.font", notes);
    FT_Face subtitle = look_face(library, texts.font_dir, look.subtitle, false, "look.subtitle.font", notes);
    FT_Face strips = look_face(library, texts.font_dir, look.lines, true, "look.lines.font", notes);
    FT_Face credits = look_face(library, texts.font_dir, look.credits, false, "look.credits.font", notes);
    if (!title)
        title = caption ? caption : weighted(look.title.weight, true, "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf");
    if (!subtitle)
        subtitle = caption ? caption : weighted(look.subtitle.weight, false, "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf");
    if (!strips)
        strips = texts.font ? open_face(library, texts.font, 0, "font")
                 : look.lines.weight == weight_regular ? f.sans
                                                       : f.sans_bold;
    f.title = {title, f.sans_bold, find_installed_face};
    f.subtitle = {subtitle, f.sans, find_installed_face};
    f.strips = {strips, f.sans_bold, find_installed_face};
    if (!credits)
        credits = look.credits.weight == weight_bold ? f.sans_bold : f.sans;
    f.credits = {credits, f.sans_bold, find_installed_face};
    return f;
}

// --- caption sheets -----------------------------------------------------------------

// A character no caption shows: the C0 and C1 controls (NUL, line feed, NEL among
// them), DEL, and the line and paragraph separators.
bool is_control(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

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
        std::u32string one;
        const char32_t code = decode_utf8(utf8.substr(i, length), one) && one.size() == 1 ? one[0] : 0xFFFD;
        if (code == '\n')
            out += "\\n";
        else if (code == '\t')
            out += "\\t";
        else if (code < 0x80 && is_control(code))
            out += printf_string("\\x%02x", unsigned(code));
        else if (is_control(code))
            out += printf_string("\\u%04x", unsigned(code));
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
    std::u32string out;
    const std::string why = art_text_refusal(text, field.what, &out);
    if (!why.empty())
        throw failure{why, field.field};
    return out;
}

// A sheet being painted: 8-bit coverage while every text on it keeps the classic
// look, else 32-bit colour.
struct sheet_paint {
    bool rgba;
    grey_image grey;
    rgba_image colour;
};

sheet_paint blank_paint(bool rgba)
{
    sheet_paint p{rgba, {}, {}};
    if (rgba)
        p.colour = blank_rgba(sheet_side, sheet_side);
    else
        p.grey = blank_sheet();
    return p;
}

std::vector<uint8_t> encode_sheet(sheet_paint& sheet)
{
    if (!sheet.rgba)
        return encode_bmp8(sheet_side, sheet_side, sheet.grey.px);
    finish_rgba(sheet.colour);
    return encode_bmp32(sheet_side, sheet_side, sheet.colour.px);
}

// One text as the sheet shows it: its look, the colour its letters have in the
// classic look (the show draws a classic sheet's first caption in 0.8 grey), and
// its key in the document.
struct text_look_of {
    const show_text_look& look;
    show_colour classic;
    std::string key;  // "look.title", ...
};

// Sets one text, noting the characters no face has; refuses one that would need
// letters below the smallest size, or a size scale that takes it out of its place.
// cap: the largest letters allowed (pixels per em), 0 for no cap. Returns the size
// set.
double set_text(sheet_paint& sheet, const text_style& style, const text_look_of& look, const std::string& utf8,
                const pixel_box& box, fit_mode mode, double cap, const text_field& field,
                std::vector<art_note>& notes)
{
    const std::u32string text = decoded(utf8, field);
    const pixel_box inner{box.x0 + caption_margin, box.y0 + caption_margin,
                          std::min(box.x1, sheet_side) - caption_margin, std::min(box.y1, sheet_side) - caption_margin};
    text_fit_look fit = fit_look_of(look.look, sheet_scale);
    fit.cap = cap;
    const fitted_text f = fit_layout(style, text, inner, mode, min_letter_px, fit);
    if (f.fitted > 0.0 && f.fitted < min_letter_px)
        throw failure{field.what + " " + quoted_text(utf8) +
                          printf_string(" does not fit its %dx%d box with letters of %.0f pixels or more",
                                        (box.x1 - box.x0) / sheet_scale, (box.y1 - box.y0) / sheet_scale,
                                        min_letter_px / sheet_scale),  // in the show's 1024 grid
                      field.field};
    if (f.no_room && !text.empty())
        throw failure{look.key + ": the outline, shadow and box leave no room for " + field.what, look.key};
    if (f.too_large)
        throw failure{look.key + printf_string(".size: %g makes ", look.look.size) + field.what +
                          " too large for its place",
                      look.key + ".size"};
    if (sheet.rgba)
        paint_styled(sheet.colour, f, look.look, look.classic, sheet_scale, inner);
    else if (f.ink.width > 0)
        stamp_ink(sheet.grey, f.ink, f.x, f.y, inner);
    const text_layout layout = layout_text(style, text);
    if (!layout.missing.empty()) {
        std::string list;
        for (char32_t c : layout.missing)
            list += printf_string(" U+%04X", unsigned(c));
        notes.push_back({field.field, field.what + ": no font has" + list});
    }
    return f.ink.width > 0 ? f.size : 0.0;
}

constexpr show_colour classic_white = {255, 255, 255, 255}, classic_grey = {204, 204, 204, 255};

sheet_paint captions(const faces& f, const art_texts& texts, std::vector<art_note>& notes)
{
    const show_look& look = look_of(texts);
    sheet_paint sheet = blank_paint(!look.title.classic() || !look.subtitle.classic());
    const double title = set_text(sheet, f.title, {look.title, classic_grey, "look.title"},
                                  texts.title.value_or(art_default_title), sheet0_boxes[0], fit_mode::ink, 0.0,
                                  {"title", "the title"}, notes);
    // A person's own subtitle is set no larger than their own title.
    const double cap = texts.title && texts.subtitle ? title : 0.0;
    set_text(sheet, f.subtitle, {look.subtitle, classic_white, "look.subtitle"},
             texts.subtitle.value_or(default_subtitle), sheet0_boxes[1], fit_mode::ink, cap,
             {"subtitle", "the subtitle"}, notes);
    return sheet;
}

// The text of strip i (0..7), defaults filled in.
std::string line_of(const art_texts& texts, size_t i)
{
    return !texts.lines_set ? default_lines[i] : i < texts.lines.size() ? texts.lines[i] : "";
}

sheet_paint strips(const faces& f, const art_texts& texts, std::vector<art_note>& notes)
{
    const show_look& look = look_of(texts);
    sheet_paint sheet = blank_paint(!look.lines.classic());
    for (size_t i = 0; i < 8; ++i) {
        const std::string text = line_of(texts, i);
        const std::string name = "line " + std::to_string(i + 1);
        set_text(sheet, f.strips, {look.lines, classic_white, "look.lines"}, text, sheet1_boxes[i], fit_mode::line,
                 0.0, {name, name}, notes);
    }
    return sheet;
}

// The bytes FreeType reads face from (open_face's descriptor, or the memory a
// face is unpacked into), for a cache key; false when they are not at hand.
bool face_bytes(FT_Face face, std::string* out)
{
    const FT_Stream s = face->stream;
    if (s->read != stream_read) {
        if (!s->base)
            return false;
        out->assign((const char*)s->base, s->size);
        return true;
    }
    out->resize(s->size);
    for (size_t got = 0; got < out->size();) {
        const ssize_t n = pread(int(s->descriptor.value), &(*out)[got], out->size() - got, off_t(got));
        if (n <= 0)
            return false;
        got += size_t(n);
    }
    return true;
}

// What of a text's look its sheet depends on: every field.
std::string look_key(const show_text_look& l)
{
    auto colour = [](const show_colour& c) { return printf_string("%d,%d,%d,%d ", c.r, c.g, c.b, c.a); };
    return l.font + "|" + printf_string("%d %d %d ", l.font_is_file, int(l.weight), l.has_colour) + colour(l.colour) +
           printf_string("%.17g ", l.outline.width) + colour(l.outline.colour) +
           printf_string("%d %.17g %.17g %.17g ", l.shadow.on, l.shadow.dx, l.shadow.dy, l.shadow.blur) +
           colour(l.shadow.colour) + printf_string("%d ", l.has_box) + colour(l.box) + printf_string("%.17g", l.size);
}

// The strips' sheet, shared through the cache (art_cache.h) by the runs whose
// lines, faces and look are the same once two have asked for it: the default
// strips are the same in every row of a batch. Only while every character is in
// the strips' face or its fallback: the installed faces found for the others,
// and the notes for those none has, depend on more than the key holds.
std::vector<uint8_t> strips_sheet(const faces& f, const art_texts& texts, std::vector<art_note>& notes)
{
    auto paint = [&] {
        sheet_paint sheet = strips(f, texts, notes);
        return encode_sheet(sheet);
    };
    if (!art_cache_active())
        return paint();
    FT_Int major, minor, patch;
    FT_Library_Version(the_library, &major, &minor, &patch);
    std::vector<std::string> key = {
        printf_string("freetype %d.%d.%d harfbuzz %s fribidi %s", major, minor, patch, hb_version_string(),
                      fribidi_version_info),
        look_key(look_of(texts).lines)};
    const FT_Face face = f.strips.face, fallback = f.strips.fallback;
    key.resize(6);
    if (!fallback || !face_bytes(face, &key[2]) || (fallback != face && !face_bytes(fallback, &key[4])))
        return paint();
    key[3] = std::to_string(face->face_index);
    key[5] = fallback != face ? std::to_string(fallback->face_index) : "the same face";
    for (size_t i = 0; i < 8; ++i) {
        key.push_back(line_of(texts, i));
        std::u32string chars;
        if (!art_text_refusal(key.back(), "", &chars).empty())
            return paint();  // and its refusal
        for (char32_t c : chars)
            if (!FT_Get_Char_Index(face, c) && !FT_Get_Char_Index(fallback, c))
                return paint();
    }
    return std::move(art_cached("strips", key, [&] { return art_blobs{paint()}; }, art_keep::when_shared)[0]);
}

// The twelve images, in catalogue order (art_files.h).
// The backdrop: the person's photo, or the painted sunset.
std::vector<uint8_t> paint_photo(const art_texts& texts)
{
    if (texts.photo) {
        std::vector<uint8_t> photo;
        int photo_w = photo_side, photo_h = photo_side;
        std::string why;
        if (!load_backdrop(texts.photo, photo_side, photo, photo_w, photo_h, why))
            throw failure{std::string(texts.photo) + ": " + why, "photo"};
        return encode_bmp24(photo_w, photo_h, photo);
    }
    // The same in every run: painted once where runs share a cache (art_cache.h).
    return std::move(art_cached("photo", {}, [] {
        return art_blobs{encode_bmp24(photo_side, photo_side, make_photo())};
    })[0]);
}

std::vector<art_image> paint_all(const art_texts& texts, FT_Library library, std::vector<art_note>& notes)
{
    const faces f = open_faces(library, texts, notes);

    // The parts that can fail on the person's input first, the long painting last.
    // Each image under its catalogue name: the cards 0 to 8 (5 down to -3), the
    // photo 9, the caption sheets 10 and 11.
    std::vector<art_image> files(my_art_file_count);
    for (size_t i = 0; i < files.size(); ++i)
        files[i].name = my_art_files[i];
    sheet_paint sheet = captions(f, texts, notes);
    files[10].bytes = encode_sheet(sheet);
    files[11].bytes = strips_sheet(f, texts, notes);
    std::vector<art_image> credit_files;
    if (texts.doc && !texts.doc->credits.empty()) {
        const show_doc& d = *texts.doc;
        const double aspect = credit_aspect(d);
        std::vector<credit_sheet> sheets;
        std::string why;
        if (!paint_credits(f.credits, d.look.credits, d.credits, aspect, &sheets, &why, texts.credits_file))
            throw failure{why, why.rfind("look.credits.size", 0) == 0 ? "look.credits.size" : "credits"};
        for (size_t i = 0; i < sheets.size(); ++i) {
            credit_sheet& s = sheets[i];
            credit_files.push_back({credit_sheet_name(i), s.rgba ? encode_bmp32(s.colour.width, s.colour.height, s.colour.px)
                                                                 : encode_bmp8(s.grey.width, s.grey.height, s.grey.px)});
            s = credit_sheet();  // the encoded copy is kept
        }
    }
    files[9].bytes = paint_photo(texts);
    // The cards: what decides their pixels is the bold face's file and the card's colours.
    std::string bold_font, why;
    const std::string bold_path = find_font(texts.font_dir, "DejaVuSans-Bold.ttf");
    const int bold_fd = input_open(bold_path, max_font_bytes, &why, nullptr);
    if (bold_fd < 0 || !input_read_all(bold_fd, max_font_bytes, &bold_font, &why)) {
        if (bold_fd >= 0)
            close(bold_fd);
        throw failure{bold_path + ": " + why};
    }
    close(bold_fd);
    const show_look& look = look_of(texts);
    const std::string colours = printf_string("%d %d,%d,%d,%d %d %d,%d,%d,%d", look.has_card_paper, look.card_paper.r,
                                              look.card_paper.g, look.card_paper.b, look.card_paper.a,
                                              look.has_card_ink, look.card_ink.r, look.card_ink.g, look.card_ink.b,
                                              look.card_ink.a);
    art_blobs cards = art_cached("cards", {bold_font, colours}, [&] {
        art_blobs painted = make_cards(f.sans_bold, &look);
        for (auto& card : painted)  // in catalogue order, 5 down to -3
            card = encode_bmp24(card_side, card_side, card);
        return painted;
    });
    for (size_t i = 0; i < cards.size(); ++i)
        files[i].bytes = std::move(cards[i]);
    if (const show_doc* doc = texts.doc) {
        const show_timing& t = doc->timing;
        if (t.leader && (!classic_card_number(t.count_from) || !classic_card_number(t.count_to))) {
            files.push_back({card_ground_file, encode_bmp24(card_side, card_side, make_card_ground(f.sans_bold, &look_of(texts)))});
            const grey_image atlas = make_numeral_atlas(f.sans_bold);
            files.push_back({numeral_atlas_file, encode_bmp8(atlas.width, atlas.height, atlas.px)});
        }
    }
    for (art_image& sheet : credit_files)
        files.push_back(std::move(sheet));
    return files;
}

// The catalogue's pictures one at a time in order, each handed on as it is made.
void paint_each(const art_texts& texts, FT_Library library, const std::vector<int>& order,
                const std::function<void(int, const art_image&)>& done, std::vector<art_note>& notes)
{
    const faces f = open_faces(library, texts, notes);
    std::shared_ptr<const card_shared> cards;
    for (const int i : order) {
        if (i < 0 || i >= my_art_file_count)
            throw failure{printf_string("no picture %d in the artwork", i)};
        art_image image{my_art_files[i], {}};
        if (i == 10) {
            sheet_paint sheet = captions(f, texts, notes);
            image.bytes = encode_sheet(sheet);
        } else if (i == 11) {
            image.bytes = strips_sheet(f, texts, notes);
        } else if (i == 9) {
            image.bytes = paint_photo(texts);
        } else {
            if (!cards)
                cards = make_card_shared(f.sans_bold, &look_of(texts));
            image.bytes = encode_bmp24(card_side, card_side, make_card_of(*cards, 5 - i));
        }
        done(i, image);
    }
}

}  // namespace

const char* const art_default_title = "FIN";

std::string art_text_refusal(const std::string& utf8, const std::string& what, std::u32string* decoded)
{
    std::u32string text;
    if (!decode_utf8(utf8, text))
        return what + " is not valid UTF-8";
    for (char32_t c : text)
        if (is_control(c)) {
            const bool line_break = c == '\n' || c == '\r' || c == 0x85 || c == 0x2028 || c == 0x2029;
            return what + " " + quoted_text(utf8) + ": " +
                   (line_break ? "a line break" : c == '\t' ? "a tab" : "a control character") +
                   " cannot be set; give one line of text";
        }
    if (decoded)
        *decoded = std::move(text);
    return "";
}

std::vector<std::string> art_shown_words(const art_texts* texts)
{
    std::vector<std::string> words = {texts->title.value_or(art_default_title),
                                      texts->subtitle.value_or(default_subtitle)};
    for (size_t i = 0; i < art_max_lines; ++i)
        words.push_back(line_of(*texts, i));
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

// A painting with FreeType started and every face released after it: 0, or 1
// with the refusal as the last note.
static int with_freetype(std::vector<art_note>* notes, const std::function<void(FT_Library)>& paint)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        notes->push_back({"", "cannot start FreeType"});
        return 1;
    }
    the_library = library;
    int status = 0;
    try {
        paint(library);
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

int art_make(const art_texts* texts, std::vector<art_image>* images, std::vector<art_note>* notes)
{
    images->clear();
    return with_freetype(notes, [&](FT_Library library) { *images = paint_all(*texts, library, *notes); });
}

int art_make_each(const art_texts* texts, const std::vector<int>& order,
                  const std::function<void(int index, const art_image& image)>& done, std::vector<art_note>* notes)
{
    return with_freetype(notes, [&](FT_Library library) { paint_each(*texts, library, order, done, *notes); });
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
