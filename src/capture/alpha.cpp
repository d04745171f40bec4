/* alpha.cpp - see alpha.h. */
#define GL_GLEXT_PROTOTYPES 1
#include "alpha.h"

#include <GL/gl.h>
#include <GL/glext.h>

void alpha_prepare(void)
{
    // Colour blends as the show sets it; coverage accumulates as "over".
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
}

void alpha_straighten(unsigned char* rgba, size_t pixels)
{
    for (size_t i = 0; i < pixels; ++i, rgba += 4) {
        const unsigned a = rgba[3];
        if (a == 255)
            continue;
        for (int c = 0; c < 3; ++c) {
            const unsigned v = a ? (rgba[c] * 255u + a / 2) / a : 0;
            rgba[c] = (unsigned char)(v > 255 ? 255 : v);
        }
    }
}
