/* bitmap_font.h - a bitmap font read from a BDF file (the X11 text format of
   bitmap fonts), for the GLUT bitmap text the browser lacks.

   bitmap_font_load reads the glyphs of codes 0 to 255 (others are skipped)
   and returns 0, or 1 after one "path:line: reason" line on standard error.
   Every number is checked before it is stored: a glyph is at most 32 x 32
   pixels and each bitmap row must be the hex digits of its width. */
#ifndef VEXA_BITMAP_FONT_H
#define VEXA_BITMAP_FONT_H

#include <cstdint>

enum { bitmap_glyph_max = 32 };

struct bitmap_glyph {
    bool present;
    int width, height;        // the bitmap, pixels
    int x_offset, y_offset;   // from the pen position to the bitmap's lower left
    int advance;              // pen movement to the next glyph
    uint32_t rows[bitmap_glyph_max];  // top row first; bit 31 is the leftmost pixel
};

struct bitmap_font {
    bitmap_glyph glyphs[256];
};

int bitmap_font_load(bitmap_font* font, const char* path);

#endif
