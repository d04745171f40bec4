// text.h - anti-aliased lettering with FreeType, and fitting it into pixel boxes.
//
//   text_ink t = render_text(face, U"bye", 48.0, 1.0);   // tight grey image of the ink
//   fit_text(face, U"bye", box, sheet, line_mode)          // largest lettering that fits box
// Coverage is 0..255 (FreeType grey rendering). Nothing is ever drawn outside the box
// handed to fit_text, less its margin.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>
#include <vector>

// Coverage image cropped to the ink; baseline is the row (possibly outside 0..height)
// on which the text sits, so ascent = baseline and descent = height - baseline.
struct text_ink {
    int width = 0;
    int height = 0;
    int baseline = 0;
    std::vector<uint8_t> coverage;
};

// A grey image, top row first.
struct grey_image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> px;
};

// Pixel rectangle: columns x0..x1-1, rows y0..y1-1, origin at the top-left pixel.
struct pixel_box {
    int x0, y0, x1, y1;
};

// Renders text at pixel_size (em height in pixels, fractional allowed), widened
// horizontally by x_stretch, with kerning. An empty ink has width == 0.
text_ink render_text(FT_Face face, const std::u32string& text, double pixel_size, double x_stretch);

// Adds ink onto image with its top-left corner at (x, y), saturating at 255, clipped
// to clip (which is itself clipped to the image).
void stamp_ink(grey_image& image, const text_ink& ink, int x, int y, const pixel_box& clip);

// How the fitted lettering is sized vertically.
enum class fit_mode {
    ink,   // the text's own ink fills the box height: largest possible letters
    line,  // room is kept for ascenders and descenders, so that texts of different
           // letters fitted into boxes of equal height share one letter size and baseline
};

// Draws text into image as large as fits inside box shrunk by margin on every side,
// centred. It may be widened up to max_stretch or narrowed down to min_stretch to fill
// the box width. Returns the number of pixels that received coverage.
int fit_text(grey_image& image, FT_Face face, const std::u32string& text, const pixel_box& box,
             int margin, fit_mode mode, double min_stretch, double max_stretch);
