// art.h - the show's artwork: countdown-leader number cards, a scenic photo and the
// two closing-caption sheets. Every function is deterministic: same fonts in, same
// pixels out.
//
//   double px = card_numeral_size(bold);              // one numeral size for all cards
//   auto card = make_card(bold, 3, px);               // 512x512 RGB, top row first
//   auto photo = make_photo();                        // 1024x1024 RGB
//   grey_image s0 = make_caption_sheet0(serif_bold, serif);
//   grey_image s1 = make_caption_sheet1(bold);
#pragma once

#include "text.h"

#include <cstdint>
#include <vector>

constexpr int card_side = 512;
constexpr int photo_side = 1024;
constexpr int sheet_side = 1024;

// Where the show expects each caption on the sheets (x1, y1 exclusive).
constexpr pixel_box sheet0_boxes[2] = {{328, 379, 693, 615}, {312, 745, 1008, 847}};
constexpr pixel_box sheet1_boxes[8] = {
    {1, 1, 577, 65},     {1, 67, 257, 131},   {1, 133, 961, 197}, {1, 199, 705, 263},
    {1, 265, 449, 329},  {1, 331, 833, 395},  {1, 397, 1025, 461}, {1, 463, 769, 527},
};

// Pixels kept clear inside every caption box so that texture filtering at its edge
// picks up nothing from the neighbouring caption.
constexpr int caption_margin = 3;

double card_numeral_size(FT_Face bold);
std::vector<uint8_t> make_card(FT_Face bold, int number, double numeral_px);
std::vector<uint8_t> make_photo();
grey_image make_caption_sheet0(FT_Face display, FT_Face body);
grey_image make_caption_sheet1(FT_Face bold);
