/* label_font.h - a tiny built-in bitmap font for labelling pictures.

   Glyphs are 5 x 7 pixels on a 6-pixel advance and cover the digits, space
   and the letters of "ms"; other characters draw as a blank. draw_label
   paints text into an RGB image (top row first) with its top-left corner at
   (x, y), every font pixel scale x scale pixels large, clipped to the image. */
#ifndef VEXA_CAPTURE_LABEL_FONT_H
#define VEXA_CAPTURE_LABEL_FONT_H

enum { glyph_width = 5, glyph_height = 7, glyph_advance = 6 };

void draw_label(unsigned char* rgb, int width, int height, int x, int y, int scale,
                const char* text, const unsigned char colour[3]);
int label_width(const char* text, int scale);

#endif
