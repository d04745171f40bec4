/* numeral_atlas.h - the cards of numbers without a card of their own: the
   card's ground (its paper, dial and wear, no numeral) and an atlas of the
   numerals 0-9 and the minus sign, painted once by the artwork generator
   and set by the show for any count.

   The atlas is an 8-bit coverage image numeral_atlas_width x
   numeral_atlas_height: eleven cells numeral_cell_w wide (0 .. 9, then the
   minus), each glyph centred in its cell; the upper band (rows 0 to
   numeral_cell_h - 1) holds each glyph's halo, drawn in the card's paper,
   the lower band the glyph's ink. A digit's ink is numeral_digit_h tall,
   centred in the cell's height. The cells are as wide as the font's
   figures are, so a number is set cell by cell. */
#ifndef VEXA_NUMERAL_ATLAS_H
#define VEXA_NUMERAL_ATLAS_H

#include "show_doc.h"

enum {
    numeral_cell_w = 186,
    numeral_cell_h = 256,
    numeral_digit_h = 200,
    numeral_cells = 11,
    numeral_minus_cell = 10,
    numeral_atlas_width = 2048,
    numeral_atlas_height = 2 * numeral_cell_h,
};

/* The classic card's paper and its numeral's ink, 0..1 (before the card's
   vignette). */
inline constexpr double card_classic_paper[3] = {0.80, 0.79, 0.76};
inline constexpr double card_classic_ink[3] = {0.09, 0.09, 0.10};

/* The card's paper and numeral ink in a look: the classic colours, or the
   look's own laid over them by its alpha. The artwork paints the cards in
   them; the show sets the atlas's numerals and their halo in them. */
inline void card_colours_of(const show_look& look, double paper[3], double ink[3])
{
    auto chosen = [](bool has, const show_colour& c, const double classic[3], double out[3]) {
        const double v[3] = {c.r / 255.0, c.g / 255.0, c.b / 255.0};
        for (int k = 0; k < 3; ++k)
            out[k] = has ? classic[k] + (v[k] - classic[k]) * (c.a / 255.0) : classic[k];
    };
    chosen(look.has_card_paper, look.card_paper, card_classic_paper, paper);
    chosen(look.has_card_ink, look.card_ink, card_classic_ink, ink);
}

inline constexpr const char* numeral_atlas_file = "numerals.bmp";
inline constexpr const char* card_ground_file = "card.bmp";

/* Whether number n has a classic card (5.bmp ... -3.bmp). */
inline bool classic_card_number(int n)
{
    return n >= -3 && n <= 5;
}

#endif
