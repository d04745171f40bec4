/* render.cpp - see render.h. */
#include "render.h"
#include "offscreen.h"
#include "vexa.h"

#include <GL/gl.h>
#include <cstdio>
#include <vector>

static offscreen target;
static int render_width, render_height;
static std::vector<unsigned char> rgba;

int render_open(int width, int height)
{
    if (offscreen_create(&target, width, height) != 0) {
        fprintf(stderr, "vexa-capture: cannot make a %dx%d framebuffer\n", width, height);
        return 1;
    }
    render_width = width;
    render_height = height;
    rgba.resize((size_t)width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    return 0;
}

void render_frame(uint32_t t, unsigned char* rgb)
{
    show_frame(t, render_width, render_height, NULL);
    glReadPixels(0, 0, render_width, render_height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // GL's rows run bottom-up; image files start at the top.
    for (int y = 0; y < render_height; ++y) {
        const unsigned char* src = &rgba[(size_t)(render_height - 1 - y) * render_width * 4];
        unsigned char* dst = rgb + (size_t)y * render_width * 3;
        for (int x = 0; x < render_width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
}
