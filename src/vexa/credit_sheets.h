/* credit_sheets.h - how the credits roll is painted into sheets: the
   artwork generator paints, the show cuts and rolls.

   Each credit line is one row of credit_row_px pixels across a sheet
   credit_sheet_width wide, its capitals credit_cap_px tall, centred in the
   row; a sheet holds credit_rows_per_sheet rows from the top, and a roll
   needs credit_sheet_count(n) sheets, "credits-1.bmp", "credits-2.bmp" ...
   (8-bit coverage). A row's middle is the frame's middle: a name alone is
   centred on it; a pair sets the role right-aligned ending credit_gap_px / 2
   left of it and the name left-aligned from credit_gap_px / 2 right of it
   (mirrored for a right-to-left pair).

   In the show a row is one line pitch tall, a twentieth of the frame's
   height, so the capitals are 2.5% of it. A line fits a frame of aspect a
   (width / height) when its ink keeps credit_side_px from the frame's sides:
   the frame is credit_frame_px(a) row pixels wide. */
#ifndef VEXA_CREDIT_SHEETS_H
#define VEXA_CREDIT_SHEETS_H

#include "show_doc.h"

#include <cstddef>
#include <cstdio>
#include <string>

enum {
    credit_sheet_width = 2048,
    credit_sheet_height = 2048,
    credit_row_px = 56,
    credit_cap_px = 28,
    credit_rows_per_sheet = credit_sheet_height / credit_row_px,  // 36
    credit_gap_px = 40,
    credit_side_px = 28,
};

inline constexpr size_t credit_sheet_count(size_t lines)
{
    return (lines + credit_rows_per_sheet - 1) / credit_rows_per_sheet;
}
static_assert(credit_sheet_count(500) == 14, "art_files.h names fourteen credit sheets");

/* sheet is 0 for the first. */
inline std::string credit_sheet_name(size_t sheet)
{
    char name[48];
    snprintf(name, sizeof name, "credits-%zu.bmp", sheet + 1);
    return name;
}

/* The frame's width in row pixels for a frame of aspect width / height: its
   height is twenty rows. */
inline double credit_frame_px(double aspect)
{
    return aspect * 20 * credit_row_px;
}

/* The frame the lines must fit: the document's aspect, else 9:16, the
   narrowest common frame. */
inline double credit_aspect(const show_doc& doc)
{
    return doc.aspect_w > 0 && doc.aspect_h > 0 ? (double)doc.aspect_w / doc.aspect_h : 9.0 / 16.0;
}

#endif
