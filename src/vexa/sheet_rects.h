/* sheet_rects.h - where the captions lie on the two caption sheets.

   Pixel rectangles (origin top-left, y down, second corner exclusive) in the
   1024 x 1024 caption sheets: the show cuts its captions and strips out of
   the sheets with them, and the artwork generator sets its text inside them.
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
