/* bitmap_font.cpp - reads a BDF bitmap font (see bitmap_font.h).

   Only what drawing needs is read: per glyph ENCODING, DWIDTH, BBX and the
   BITMAP rows between STARTCHAR and ENDCHAR. */
#include "bitmap_font.h"

#include <cstdio>
#include <cstring>

namespace {

struct reader {
    FILE* file;
    const char* path;
    int line;
    char text[256];
};

bool next_line(reader* r)
{
    if (!fgets(r->text, sizeof r->text, r->file))
        return false;
    ++r->line;
    r->text[strcspn(r->text, "\r\n")] = '\0';
    return true;
}

bool starts(const char* text, const char* keyword)
{
    const size_t n = strlen(keyword);
    return strncmp(text, keyword, n) == 0 && (text[n] == ' ' || text[n] == '\0');
}

int fail(reader* r, const char* reason)
{
    fprintf(stderr, "%s:%d: %s\n", r->path, r->line, reason);
    fclose(r->file);
    return 1;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

/* One bitmap row: exactly two hex digits per started byte of the width. */
bool parse_row(const char* text, int width, uint32_t* row)
{
    const size_t digits = (size_t)((width + 7) / 8) * 2;
    if (strlen(text) != digits)
        return false;
    uint32_t bits = 0;
    for (size_t i = 0; i < digits; ++i) {
        const int d = hex_digit(text[i]);
        if (d < 0)
            return false;
        bits = bits << 4 | (uint32_t)d;
    }
    *row = digits == 0 ? 0 : bits << (32 - 4 * digits);  // 8 digits: no shift
    return true;
}

/* Reads one glyph after its STARTCHAR line; stores it when its code is 0 to 255. */
int read_glyph(reader* r, bitmap_font* font)
{
    bitmap_glyph g{};
    int code = -1;
    bool has_box = false;
    while (next_line(r)) {
        const char* t = r->text;
        if (starts(t, "ENCODING")) {
            if (sscanf(t, "ENCODING %d", &code) != 1)
                return fail(r, "bad ENCODING");
        } else if (starts(t, "DWIDTH")) {
            if (sscanf(t, "DWIDTH %d", &g.advance) != 1 || g.advance < 0 || g.advance > 4 * bitmap_glyph_max)
                return fail(r, "bad DWIDTH");
        } else if (starts(t, "BBX")) {
            if (sscanf(t, "BBX %d %d %d %d", &g.width, &g.height, &g.x_offset, &g.y_offset) != 4 ||
                g.width < 0 || g.width > bitmap_glyph_max || g.height < 0 || g.height > bitmap_glyph_max ||
                g.x_offset < -bitmap_glyph_max || g.x_offset > bitmap_glyph_max ||
                g.y_offset < -bitmap_glyph_max || g.y_offset > bitmap_glyph_max)
                return fail(r, "bad BBX (at most 32 x 32 pixels)");
            has_box = true;
        } else if (starts(t, "BITMAP")) {
            if (!has_box)
                return fail(r, "BITMAP before BBX");
            for (int y = 0; y < g.height; ++y) {
                if (!next_line(r))
                    return fail(r, "file ends inside a bitmap");
                if (!parse_row(r->text, g.width, &g.rows[y]))
                    return fail(r, "bad bitmap row");
            }
        } else if (starts(t, "ENDCHAR")) {
            if (code >= 0 && code <= 255) {
                g.present = true;
                font->glyphs[code] = g;
            }
            return 0;
        }
    }
    return fail(r, "file ends inside a glyph");
}

}  // namespace

int bitmap_font_load(bitmap_font* font, const char* path)
{
    reader r{};
    r.path = path;
    r.file = fopen(path, "r");
    if (!r.file) {
        fprintf(stderr, "%s:0: can't open file.\n", path);
        return 1;
    }
    *font = bitmap_font{};
    int glyphs = 0;
    while (next_line(&r)) {
        if (starts(r.text, "STARTCHAR")) {
            if (read_glyph(&r, font) != 0)
                return 1;
            ++glyphs;
        }
    }
    if (glyphs == 0)
        return fail(&r, "no glyphs");
    fclose(r.file);
    return 0;
}
