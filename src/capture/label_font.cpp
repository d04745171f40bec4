/* label_font.cpp - see label_font.h. Each glyph row is five bits, the
   leftmost pixel in bit 4. */
#include "label_font.h"

#include <cstring>

static const unsigned char digits[10][glyph_height] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
};
static const unsigned char letter_m[glyph_height] = {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11};
static const unsigned char letter_s[glyph_height] = {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E};

static const unsigned char* glyph(char c)
{
    if (c >= '0' && c <= '9')
        return digits[c - '0'];
    if (c == 'm')
        return letter_m;
    if (c == 's')
        return letter_s;
    return nullptr;
}

int label_width(const char* text, int scale)
{
    const int n = (int)strlen(text);
    return n > 0 ? (n * glyph_advance - 1) * scale : 0;
}

void draw_label(unsigned char* rgb, int width, int height, int x, int y, int scale,
                const char* text, const unsigned char colour[3])
{
    for (; *text; ++text, x += glyph_advance * scale) {
        const unsigned char* rows = glyph(*text);
        if (!rows)
            continue;
        for (int gy = 0; gy < glyph_height * scale; ++gy)
            for (int gx = 0; gx < glyph_width * scale; ++gx) {
                if (!(rows[gy / scale] & (0x10 >> (gx / scale))))
                    continue;
                const int px = x + gx, py = y + gy;
                if (px < 0 || py < 0 || px >= width || py >= height)
                    continue;
                memcpy(rgb + ((size_t)py * width + px) * 3, colour, 3);
            }
    }
}
