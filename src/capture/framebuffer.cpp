/* framebuffer.cpp - see framebuffer.h. */
#define GL_GLEXT_PROTOTYPES 1
#include "framebuffer.h"
#include "offscreen.h"
#include "vexa.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <cstdio>
#include <cstring>
#include <vector>

static offscreen target;
static int fb_width, fb_height;

int fb_open(int width, int height)
{
    if (offscreen_create(&target, width, height) != 0) {
        fprintf(stderr, "vexa-capture: cannot make a %dx%d framebuffer\n", width, height);
        return 1;
    }
    fb_width = width;
    fb_height = height;
    // Set once, as a window gets its projection when it is created: every
    // frame is drawn into this framebuffer at this size.
    reshape(width, height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    return 0;
}

/* The show at time t in the framebuffer. */
static void draw(uint32_t t)
{
    // The same steps as the display callback, without the buffer swap.
    m_lapsetime = t;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    compose_frame();
    glPopAttrib();
}

void fb_render(uint32_t t, unsigned char* rgb)
{
    draw(t);
    glReadPixels(0, 0, fb_width, fb_height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    // GL's rows run bottom-up; image files start at the top.
    const size_t row = (size_t)fb_width * 3;
    std::vector<unsigned char> spare(row);
    for (int y = 0; y < fb_height / 2; ++y) {
        unsigned char* top = rgb + (size_t)y * row;
        unsigned char* bottom = rgb + (size_t)(fb_height - 1 - y) * row;
        memcpy(spare.data(), top, row);
        memcpy(top, bottom, row);
        memcpy(bottom, spare.data(), row);
    }
}

void fb_render_rgba(uint32_t t, unsigned char* rgba)
{
    draw(t);
    glReadPixels(0, 0, fb_width, fb_height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}
