/* stage.h - where the show goes in a frame of a given size: the one place
   that decides the layout.

   stage_for(width, height, mode) gives the projection and the place of every
   element for a frame of width x height pixels; show_frame draws through it,
   so no host computes a position itself:

     stage s = stage_for(1920, 1080, stage_adapt);
     show_frame(t, 1920, 1080, stage_adapt);   // draws with that stage

   The picture is composed in world units on the plane z = 0, the 4:3
   composition spanning x 0-1024, y 128-896, the eye at (512, 512, 512).

   stage_crop   the classic picture: x 0-1024 across the width whatever the
                frame's shape (a wide frame crops the top and bottom).
   stage_fit    the classic picture in the largest 4:3 rectangle of the
                frame, black bars beside it.
   stage_adapt  a composition for the frame: the view holds the whole 4:3
                composition and widens or heightens to the frame's shape;
                the backdrop and card cover it, the card no larger than keeps
                its numeral inside, the bar and the captions centred as large
                as fits with a margin, the strips scattered over it. Frames
                between 9:21 and 21:9 are filled; beyond, the edge layout is
                fitted with bars. At exactly 4:3 (3 * width == 4 * height)
                it is the classic picture to the bit, and away from 4:3 it
                changes smoothly with the aspect. Tall frames (9:16) keep
                the card's ring whole, raise the captions to the upper
                third and scatter larger strips under them.

   Element placements map classic world coordinates: a point p of the
   classic picture is drawn at p * k + (dx, dy). */
#ifndef VEXA_STAGE_H
#define VEXA_STAGE_H

enum stage_mode { stage_adapt, stage_crop, stage_fit };

struct placement {
    float k, dx, dy;
};

struct stage {
    int viewport[4];          // x, y, w, h pixels the picture fills; black outside
    bool clipped;             // viewport is less than the whole frame
    float frustum[4];         // left, right, bottom, top at the near plane, 1 unit from the eye
    float view[2][2];         // the world rectangle seen at z = 0
    float backdrop[2][2];     // photo square, and the boxes that dim and fade it
    float card[2][2];         // the number card
    bool card_fill;           // the card's paper fills the view around it
    placement bar;            // the progress bar
    placement caption[2];     // the first and the second caption
    float strips[2][2];       // the strips' resting centres are scattered over this
    float strip_k;            // the strips' size, times their classic size
    float strips_under;       // 0 to 1: how far each strip is kept wholly under strips' top edge
};

/* The numeral of every card lies within this middle part of the card
   (fractions of its side, centred); the artwork keeps it there. */
constexpr double card_numeral_width = 310.0 / 512.0;
constexpr double card_numeral_height = 230.0 / 512.0;

/* The frame's aspect range the adapted layout fills, width / height. */
constexpr double stage_min_aspect = 9.0 / 21.0;
constexpr double stage_max_aspect = 21.0 / 9.0;

/* A frame of zero or negative size gets the stage of a 1x1 frame. */
stage stage_for(int width, int height, stage_mode mode);

#endif
