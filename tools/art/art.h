// art.h - the show's artwork: countdown-leader number cards, a scenic photo and the
// two closing-caption sheets. Every function is deterministic: same fonts in, same
// pixels out.
//
//   auto cards = make_cards(bold);                    // 5 down to -3, 1024x1024 RGB, top row first
//   auto photo = make_photo();                        // 2048x2048 RGB
//   grey_image s = blank_sheet();                     // a caption sheet, no ink
//   set_caption(s, style, U"FIN", sheet0_boxes[0], fit_mode::ink);
#pragma once

#include "art_sizes.h"
#include "numeral_atlas.h"
#include "sheet_rects.h"
#include "show_doc.h"
#include "text.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr int card_side = art_card_side;
constexpr int photo_side = art_photo_side;
constexpr int sheet_side = art_sheet_side;
// Sheet pixels per unit of the show's 1024 grid.
constexpr int sheet_scale = sheet_side / caption_sheet_size;

// Where the show cuts each caption out of the sheets (x1, y1 exclusive), in sheet
// pixels.
constexpr pixel_box sheet_box(const unsigned r[2][2])
{
    return {(int)r[0][0] * sheet_scale, (int)r[0][1] * sheet_scale, (int)r[1][0] * sheet_scale,
            (int)r[1][1] * sheet_scale};
}
constexpr pixel_box sheet0_boxes[2] = {sheet_box(my_string_fin_bmp), sheet_box(my_string_soredake_bmp)};
constexpr pixel_box sheet1_boxes[8] = {
    sheet_box(my_string2_strings_bmp[0]), sheet_box(my_string2_strings_bmp[1]),
    sheet_box(my_string2_strings_bmp[2]), sheet_box(my_string2_strings_bmp[3]),
    sheet_box(my_string2_strings_bmp[4]), sheet_box(my_string2_strings_bmp[5]),
    sheet_box(my_string2_strings_bmp[6]), sheet_box(my_string2_strings_bmp[7]),
};

// Pixels kept clear inside every caption box so that texture filtering at its edge
// picks up nothing from the neighbouring caption.
// (The show's coordinates of a caption drift from the sheet's by up to sheet_scale
// pixels towards the far edges, which this margin also covers.)
constexpr int caption_margin = 3 * sheet_scale;

// One numeral size for every card: the widest numeral fits inside the inner ring.
double card_numeral_size(FT_Face bold);
// The nine number cards, 5 down to -3; what they share is painted once. A look may
// give the paper's and the numeral's colours (null: the classic card).
std::vector<std::vector<uint8_t>> make_cards(FT_Face bold, const show_look* look = nullptr);
// The same cards one at a time, for a host that shows the first before the others
// are painted (the page): what they share, then each card, the same pixels as
// make_cards' card of that number (5 down to -3).
struct card_shared;
std::shared_ptr<const card_shared> make_card_shared(FT_Face bold, const show_look* look = nullptr);
std::vector<uint8_t> make_card_of(const card_shared& shared, int number);
std::vector<uint8_t> make_photo();
// The cards' ground without a numeral (card.bmp), and the atlas of the numerals 0-9
// and the minus (numerals.bmp, numeral_atlas.h): any other number's card.
std::vector<uint8_t> make_card_ground(FT_Face bold, const show_look* look = nullptr);
grey_image make_numeral_atlas(FT_Face bold);

// The smallest letters a caption may have: pixels per em on the sheet (16 in the
// show's 1024 grid).
constexpr double min_letter_px = 16.0 * sheet_scale;

grey_image blank_sheet();
// Sets text centred in box (less caption_margin) at the largest size that fits and
// returns that size; draws nothing when it would be below min_letter_px (the size
// returned) and returns 0 for a text without ink.
double set_caption(grey_image& sheet, const text_style& style, const std::u32string& text, const pixel_box& box,
                   fit_mode mode);
