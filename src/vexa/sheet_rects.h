/* sheet_rects.h - where the captions lie on the two caption sheets.

   Pixel rectangles (origin top-left, y down) in the 1024 x 1024 caption
   sheets. The artwork generator sets its text inside them, first corner
   inclusive and second exclusive, keeping a margin clear of ink. The show
   cuts its captions and strips out from corner to corner, a corner's index
   over (size - 1) as its texture coordinate (bmp2tex, geometry.cpp), so the
   cut reaches into the second corner's pixel; the margin keeps that blank.
   Sheet 0 (string.bmp) holds the two captions, sheet 1 (string2.bmp) the
   eight strips. */
#ifndef VEXA_SHEET_RECTS_H
#define VEXA_SHEET_RECTS_H

enum { caption_sheet_size = 1024 };

inline constexpr unsigned my_string_fin_bmp[2][2] = {{328, 379}, {693, 615}};
inline constexpr unsigned my_string_soredake_bmp[2][2] = {{312, 745}, {1008, 847}};
inline constexpr unsigned my_string2_strings_bmp[8][2][2] = {
    {{1, 1}, {577, 65}},    {{1, 67}, {257, 131}},  {{1, 133}, {961, 197}},
    {{1, 199}, {705, 263}}, {{1, 265}, {449, 329}}, {{1, 331}, {833, 395}},
    {{1, 397}, {1025, 461}}, {{1, 463}, {769, 527}},
};

#endif
