// text_look.h - a fitted text painted in a look (show_doc.h's show_text_look): its
// colour, an outline around the letters, a drop shadow and a box behind it, onto a
// 32-bit sheet. One painter for every text (captions, strips, credits).
//
//   const text_fit_look fit = fit_look_of(look, sheet_scale);   // what the fitting keeps clear
//   fitted_text f = fit_layout(style, text, area, fit_mode::ink, min_px, fit);
//   rgba_image sheet = blank_rgba(2048, 2048);
//   paint_styled(sheet, f, look, classic_white, sheet_scale, area);
//   finish_rgba(sheet);                                         // once, when every text is on
//
// Layers from the bottom: the box (the text's ink, outline and shadow grown by a
// margin), the shadow (the outlined letters blurred and offset), the outline, the
// letters. Lengths in the look are in units of the show's 1024 grid, unit_px pixels
// each. The sheet holds straight (not premultiplied) alpha, RGBA, top row first.
#pragma once

#include "show_doc.h"
#include "text.h"

#include <cstdint>
#include <vector>

struct rgba_image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> px;
};

rgba_image blank_rgba(int width, int height);

// The box's margin around what it holds, in grid units.
constexpr double look_box_margin = 6.0;

// The fitting a look asks for: the outline's stroke, the room its shadow and box
// need, and its size scale.
text_fit_look fit_look_of(const show_text_look& look, double unit_px);

// Paints f (fitted with fit_look_of(look, unit_px)) in look, letters in classic when
// the look gives no colour; nothing outside clip.
void paint_styled(rgba_image& sheet, const fitted_text& f, const show_text_look& look, show_colour classic,
                  double unit_px, const pixel_box& clip);

// Gives every transparent pixel the colour of its painted neighbours, so that
// filtering at an edge blends towards the edge's own colour, not black.
void finish_rgba(rgba_image& sheet);
