/* web_export.cpp - the frames of the page's video export (export.js): a
   show time drawn at the video's size, read back and turned into I420.

   web_export_frame draws show time t into the canvas's drawing buffer at
   width x height (even sizes), reads it back and returns the frame as I420
   (Y, then U, then V, each plane's rows top first: width * height * 3 / 2
   bytes) in a buffer of its own, valid until the next call. The conversion is the one vexa-capture's
   encoder is given: BT.709 matrix, limited range (Y 16 to 235, U and V 16
   to 240), chroma the mean of each 2x2 block. It returns NULL
   for a size it cannot take or once the show is over. The host stops drawing its own frames
   between web_export_begin and web_export_end, which gives the canvas back
   to the window's size and the show clock its time. */
#include "vexa.h"
#include "web_export.h"

#include <GL/gl.h>
#include <emscripten.h>
#include <cstdint>
#include <vector>

static std::vector<unsigned char> m_rgba, m_i420;

/* 8-bit RGB to limited-range BT.709, rounded: Kr 0.2126, Kb 0.0722, luma
   scaled by 219/255 and chroma by 224/255. Fixed point, 16 fraction bits. */
static inline uint8_t luma(int r, int g, int b)
{
    return (uint8_t)((11966 * r + 40254 * g + 4064 * b + (16 << 16) + 32768) >> 16);
}

static inline uint8_t blue_diff(int r, int g, int b)  // over four pixels' sums
{
    return (uint8_t)((-6596 * r - 22189 * g + 28785 * b + (128 << 18) + (1 << 17)) >> 18);
}

static inline uint8_t red_diff(int r, int g, int b)  // over four pixels' sums
{
    return (uint8_t)((28785 * r - 26145 * g - 2640 * b + (128 << 18) + (1 << 17)) >> 18);
}

void rgba_to_i420(const unsigned char* rgba, int width, int height, unsigned char* i420)
{
    unsigned char* y_plane = i420;
    unsigned char* u_plane = y_plane + width * height;
    unsigned char* v_plane = u_plane + (width / 2) * (height / 2);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = rgba + (size_t)(height - 1 - y) * width * 4;  // bottom row first
        for (int x = 0; x < width; ++x)
            y_plane[(size_t)y * width + x] = luma(row[4 * x], row[4 * x + 1], row[4 * x + 2]);
    }
    for (int y = 0; y < height / 2; ++y) {
        const unsigned char* top = rgba + (size_t)(height - 1 - 2 * y) * width * 4;
        const unsigned char* bottom = top - (size_t)width * 4;
        for (int x = 0; x < width / 2; ++x) {
            const unsigned char* p[4] = {top + 8 * x, top + 8 * x + 4, bottom + 8 * x, bottom + 8 * x + 4};
            const int r = p[0][0] + p[1][0] + p[2][0] + p[3][0];
            const int g = p[0][1] + p[1][1] + p[2][1] + p[3][1];
            const int b = p[0][2] + p[1][2] + p[2][2] + p[3][2];
            u_plane[(size_t)y * (width / 2) + x] = blue_diff(r, g, b);
            v_plane[(size_t)y * (width / 2) + x] = red_diff(r, g, b);
        }
    }
}

extern "C" EMSCRIPTEN_KEEPALIVE unsigned char* web_export_frame(uint32_t t, int width, int height)
{
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192 || (width | height) & 1 || t >= my_timeline.end_ms)
        return NULL;
    web_export_canvas(width, height);
    m_rgba.resize((size_t)width * height * 4);
    m_i420.resize((size_t)width * height * 3 / 2);
    if (!show_frame(t, width, height, stage_adapt))  // as vexa-capture lays it out
        return NULL;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, m_rgba.data());
    rgba_to_i420(m_rgba.data(), width, height, m_i420.data());
    return m_i420.data();
}
