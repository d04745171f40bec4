/* render.h - the show drawn offscreen and read back as an image.

   render_open creates a framebuffer object of width x height (RGBA8 colour
   and a depth buffer, offscreen.h) in the current context and binds it; with
   fit, every frame shows the whole 4:3 picture (world x 0-1024, y 128-896)
   centred in the largest 4:3 rectangle that fits, black bars around it;
   without, the picture fills the frame as the window shows it. It returns 0,
   or 1 after writing one line to standard error.
   render_frame draws the show at show time t (0 to 15999) through the
   show's frame entry and reads it back as RGB bytes, top row first, into
   rgb (width * height * 3 bytes).
   render_frame_rgba does the same with the least work per frame: RGBA bytes,
   bottom row first, as GL holds them (width * height * 4 bytes). */
#ifndef VEXA_CAPTURE_RENDER_H
#define VEXA_CAPTURE_RENDER_H

#include <cstdint>

int render_open(int width, int height, bool fit);
void render_frame(uint32_t t, unsigned char* rgb);
void render_frame_rgba(uint32_t t, unsigned char* rgba);

#endif
