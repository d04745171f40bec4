// text.h - lettering: UTF-8 text shaped with HarfBuzz, ordered with FriBidi,
// rendered anti-aliased with FreeType, and fitted into pixel boxes.
//
//   std::u32string s;  decode_utf8("bye", s);
//   text_style style{face, fallback, finder};           // fallback, then finder, cover what face lacks
//   text_layout l = layout_text(style, s);              // glyphs in visual order, em units
//   text_ink ink = render_text(style, s, 48.0);         // tight grey image of the ink
//   double size = fit_text(sheet, style, s, box, 3, fit_mode::line);  // largest that fits
// Coverage is 0..255 (FreeType grey rendering). Nothing is ever drawn outside the box
// handed to fit_text, less its margin. The same text, faces and size give the same
// pixels on every run.
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
    std::vector<uint8_t> outline;  // rendered with a stroke: the stroke's coverage, same grid; else empty
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

// The face a text is set in, the face used for each character it lacks (may be
// null), and a finder asked for any character neither has (may be null; it returns
// a face that has the character, or null: then the character is missing).
struct text_style {
    FT_Face face;
    FT_Face fallback;
    FT_Face (*finder)(char32_t c) = nullptr;
};

// One glyph of a laid-out line. x, y: its origin from the line's start, in ems
// (y up); cluster: index in the text of the first character it shows.
struct placed_glyph {
    FT_Face face;
    unsigned index;
    double x, y;
    uint32_t cluster;
};

// A shaped line, glyphs left to right as they are seen. missing: the characters no
// face has, in text order, each once.
struct text_layout {
    std::vector<placed_glyph> glyphs;
    std::u32string missing;
};

// Decodes UTF-8 into code points; false (out unspecified) on malformed input,
// overlong forms, surrogates or values past U+10FFFF.
bool decode_utf8(const std::string& in, std::u32string& out);

// Bidi levels from FriBidi (the base direction from the first strong character),
// runs of one level, face and script shaped by HarfBuzz, runs placed in visual order.
text_layout layout_text(const text_style& style, const std::u32string& text);

// The ink of a line at pixel_size (em height in pixels, fractional allowed). An empty
// ink has width == 0.
text_ink render_layout(const text_layout& layout, double pixel_size);
// The same with the glyphs' contours also stroked stroke_px either side (round joins)
// into ink.outline; the crop holds both.
text_ink render_layout(const text_layout& layout, double pixel_size, double stroke_px);
text_ink render_text(const text_style& style, const std::u32string& text, double pixel_size);

// Adds ink onto image with its top-left corner at (x, y), saturating at 255, clipped
// to clip (which is itself clipped to the image).
void stamp_ink(grey_image& image, const text_ink& ink, int x, int y, const pixel_box& clip);

// How the fitted lettering is sized vertically.
enum class fit_mode {
    ink,   // the text's own ink fills the box height: largest possible letters
    line,  // room is kept for ascenders and descenders, so that texts of different
           // letters fitted into boxes of equal height share one letter size and baseline
};

// Draws text into image, centred, at the largest size at which its ink fits inside
// box shrunk by margin on every side. Returns that size in pixels per em, or 0 when
// there is nothing to draw. Draws nothing and returns the size it would need (an
// estimate, below min_size) when that is below min_size: a text of more characters
// than max_chars_per_em for every em of the box's width at min_size, or whose ink
// measured in ems is too large, is refused before anything is rendered, so memory
// and time stay in proportion to the box, whatever the text.
constexpr int max_chars_per_em = 16;
double fit_text(grey_image& image, const text_style& style, const std::u32string& text, const pixel_box& box,
                int margin, fit_mode mode, double min_size = 0.0);

// Pixels a styled text needs beyond its ink (outline included) on each side: its
// shadow and its box.
struct text_room {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// What a look changes in the fitting: the room, the stroke (pixels), a cap on the
// letter size (pixels per em; 0 for none) and a scale on the size that fits.
struct text_fit_look {
    text_room room;
    double stroke_px = 0.0;
    double cap = 0.0;
    double scale = 1.0;
};

// A text fitted into an area: its size (as fit_text returns it), its ink and where
// the ink's top-left corner goes. ink.width == 0 when nothing is to be drawn;
// too_large when a scale above 1 would take the text out of the area, no_room when
// the look's outline, shadow and box leave none for the letters.
struct fitted_text {
    double size = 0.0;
    double fitted = 0.0;  // the size that fits, before the cap and the scale
    text_ink ink;
    int x = 0, y = 0;
    bool too_large = false;
    bool no_room = false;  // the look's stroke and room leave no room for letters
};

// fit_text's fitting, without drawing: the area is the box less its margin, and the
// look's room is kept clear inside it.
fitted_text fit_layout(const text_style& style, const std::u32string& text, const pixel_box& area, fit_mode mode,
                       double min_size, const text_fit_look& look);
