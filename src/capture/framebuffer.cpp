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
static std::vector<unsigned char> rgba;

int fb_open(int width, int height)
{
    if (offscreen_create(&target, width, height) != 0) {
        fprintf(stderr, "vexa-capture: cannot make a %dx%d framebuffer\n", width, height);
        return 1;
    }
    fb_width = width;
    fb_height = height;
    rgba.resize((size_t)width * height * 4);
    // Set once, as a window gets its projection when it is created: every
    // frame is drawn into this framebuffer at this size.
    reshape(width, height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    return 0;
}

void fb_render(uint32_t t, unsigned char* rgb)
{
    // The same steps as the display callback, without the buffer swap.
    m_lapsetime = t;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    compose_frame();
    glPopAttrib();

    glReadPixels(0, 0, fb_width, fb_height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    // GL's rows run bottom-up; image files start at the top.
    for (int y = 0; y < fb_height; ++y) {
        const unsigned char* src = &rgba[(size_t)(fb_height - 1 - y) * fb_width * 4];
        unsigned char* dst = rgb + (size_t)y * fb_width * 3;
        for (int x = 0; x < fb_width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
}
