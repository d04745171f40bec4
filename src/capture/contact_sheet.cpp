/* contact_sheet.cpp - see contact_sheet.h. */
#include "contact_sheet.h"
#include "render.h"
#include "label_font.h"
#include "png_write.h"
#include "vexa.h"

#include <cstdio>
#include <vector>

enum { label_height = glyph_height * sheet_label_scale + 2 * 4 };

static const unsigned char background[3] = {24, 24, 24};
static const unsigned char label_colour[3] = {220, 220, 220};

uint32_t sheet_time(int index, uint32_t end_ms)
{
    return (uint32_t)((uint64_t)index * end_ms / (sheet_columns * sheet_rows)) + 50u;
}

void sheet_size(int frame_width, int frame_height, int* width, int* height)
{
    const int tw = frame_width / sheet_shrink, th = frame_height / sheet_shrink;
    *width = sheet_columns * tw + (sheet_columns + 1) * sheet_margin;
    *height = sheet_rows * (th + label_height) + (sheet_rows + 1) * sheet_margin;
}

/* Averages each sheet_shrink x sheet_shrink block of the frame into one
   pixel of the sheet at (x0, y0). */
static void place_thumbnail(unsigned char* sheet, int sheet_w, int x0, int y0,
                            const unsigned char* frame, int fw, int tw, int th)
{
    const int n = sheet_shrink * sheet_shrink;
    for (int y = 0; y < th; ++y)
        for (int x = 0; x < tw; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < sheet_shrink; ++dy)
                    for (int dx = 0; dx < sheet_shrink; ++dx)
                        sum += frame[((size_t)(y * sheet_shrink + dy) * fw + x * sheet_shrink + dx) * 3 + c];
                sheet[((size_t)(y0 + y) * sheet_w + x0 + x) * 3 + c] = (unsigned char)((sum + n / 2) / n);
            }
}

int sheet_write(const char* path, int frame_width, int frame_height)
{
    const int tw = frame_width / sheet_shrink, th = frame_height / sheet_shrink;
    if (tw < 1 || th < 1) {
        fprintf(stderr, "vexa-capture: %s: frames of %dx%d are too small for a contact sheet\n",
                path, frame_width, frame_height);
        return 1;
    }
    int sw, sh;
    sheet_size(frame_width, frame_height, &sw, &sh);
    std::vector<unsigned char> sheet((size_t)sw * sh * 3);
    for (size_t i = 0; i < sheet.size(); i += 3)
        for (int c = 0; c < 3; ++c)
            sheet[i + c] = background[c];

    std::vector<unsigned char> frame((size_t)frame_width * frame_height * 3);
    for (int i = 0; i < sheet_columns * sheet_rows; ++i) {
        const uint32_t t = sheet_time(i, my_timeline.end_ms);
        render_frame(t, frame.data());
        const int x0 = sheet_margin + (i % sheet_columns) * (tw + sheet_margin);
        const int y0 = sheet_margin + (i / sheet_columns) * (th + label_height + sheet_margin);
        place_thumbnail(sheet.data(), sw, x0, y0, frame.data(), frame_width, tw, th);
        char label[32];
        snprintf(label, sizeof label, "%u ms", (unsigned)t);
        const int lx = x0 + (tw - label_width(label, sheet_label_scale)) / 2;
        draw_label(sheet.data(), sw, sh, lx, y0 + th + 4, sheet_label_scale, label, label_colour);
    }
    return png_write(path, sheet.data(), sw, sh, png_small);
}
