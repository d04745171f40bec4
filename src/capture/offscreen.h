/* offscreen.h - a framebuffer object to draw whole frames into, in the
   current GL context: RGBA8 colour alone. The show never tests depth (its
   set-up disables the test), so a frame drawn there is the frame a window
   of that size would show, and the renderer is spared clearing a depth
   buffer for every frame. Used by vexa-capture and by the picture tests.

     offscreen o;
     if (offscreen_create(&o, 1024, 768) != 0) ...   // also binds it
     ... draw, glReadPixels ...
     offscreen_delete(&o); */
#ifndef VEXA_OFFSCREEN_H
#define VEXA_OFFSCREEN_H

#include <GL/gl.h>

struct offscreen {
    GLuint fbo, colour;
};

/* 0 when the framebuffer is complete and bound; 1 otherwise (nothing printed). */
int offscreen_create(offscreen* o, int width, int height);
void offscreen_delete(offscreen* o);

#endif
