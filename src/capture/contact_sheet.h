/* contact_sheet.h - one picture of the whole show: a 4 x 4 grid of frames.

   sheet_write renders sixteen frames spread over the show's length, 50 ms
   into each sixteenth (classically t = 50, 1050, 2050 ... 15050 ms, where
   each countdown second shows its number card) at
   the framebuffer's size, shrinks each frame to a quarter of its width and
   height and lays them out in rows of four on a dark background, each
   labelled below with its show time ("1050 ms"). Returns 0, or 1 after
   writing one line to standard error; the file is written whole or not at all. */
#ifndef VEXA_CAPTURE_CONTACT_SHEET_H
#define VEXA_CAPTURE_CONTACT_SHEET_H

#include <cstdint>

enum { sheet_columns = 4, sheet_rows = 4, sheet_shrink = 4, sheet_margin = 8, sheet_label_scale = 2 };

/* The show time of frame index of the sheet for a show end_ms long. */
uint32_t sheet_time(int index, uint32_t end_ms);
void sheet_size(int frame_width, int frame_height, int* width, int* height);
int sheet_write(const char* path, int frame_width, int frame_height);

#endif
