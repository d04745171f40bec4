/* render.cpp - see render.h. */
#include "render.h"
#include "offscreen.h"
#include "vexa.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstring>
#include <vector>

static offscreen target;
static int render_width, render_height;
static stage_mode layout;

int render_open(int width, int height, stage_mode mode)
{
    if (offscreen_create(&target, width, height) != 0) {
        fprintf(stderr, "vexa-capture: cannot make a %dx%d framebuffer\n", width, height);
        return 1;
    }
    render_width = width;
    render_height = height;
    layout = mode;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    return 0;
}

void render_frame(uint32_t t, unsigned char* rgb)
{
    show_frame(t, render_width, render_height, layout);
    glReadPixels(0, 0, render_width, render_height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    // GL's rows run bottom-up; image files start at the top.
    const size_t row = (size_t)render_width * 3;
    std::vector<unsigned char> spare(row);
    for (int y = 0; y < render_height / 2; ++y) {
        unsigned char* top = rgb + (size_t)y * row;
        unsigned char* bottom = rgb + (size_t)(render_height - 1 - y) * row;
        memcpy(spare.data(), top, row);
        memcpy(top, bottom, row);
        memcpy(bottom, spare.data(), row);
    }
}

void render_frame_rgba(uint32_t t, unsigned char* rgba)
{
    show_frame(t, render_width, render_height, layout);
    glReadPixels(0, 0, render_width, render_height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}
