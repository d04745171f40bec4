/* offscreen.cpp - see offscreen.h. */
#define GL_GLEXT_PROTOTYPES 1
#include "offscreen.h"

#include <GL/glext.h>

static GLuint renderbuffer(GLenum storage, GLenum attachment, int width, int height)
{
    GLuint rb;
    glGenRenderbuffers(1, &rb);
    glBindRenderbuffer(GL_RENDERBUFFER, rb);
    glRenderbufferStorage(GL_RENDERBUFFER, storage, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, rb);
    return rb;
}

int offscreen_create(offscreen* o, int width, int height)
{
    glGenFramebuffers(1, &o->fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, o->fbo);
    o->colour = renderbuffer(GL_RGBA8, GL_COLOR_ATTACHMENT0, width, height);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE ? 0 : 1;
}

void offscreen_delete(offscreen* o)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &o->fbo);
    glDeleteRenderbuffers(1, &o->colour);
    o->fbo = o->colour = 0;
}
