/* framebuffer.h - the offscreen picture the show is drawn into.

   fb_open creates a framebuffer object of width x height (RGBA8 colour and a
   depth buffer) in the current context and sets the projection for it; it
   returns 0, or 1 after writing one line to standard error.
   fb_render draws the show at show time t (0 to 15999) with the program's
   own frame code and reads it back as RGB bytes, top row first, into rgb
   (width * height * 3 bytes).
   fb_render_rgba does the same with the least work per frame: RGBA bytes,
   bottom row first, as GL holds them (width * height * 4 bytes). */
#ifndef VEXA_CAPTURE_FRAMEBUFFER_H
#define VEXA_CAPTURE_FRAMEBUFFER_H

#include <cstdint>

int fb_open(int width, int height);
void fb_render(uint32_t t, unsigned char* rgb);
void fb_render_rgba(uint32_t t, unsigned char* rgba);

#endif
