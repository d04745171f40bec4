/* render.h - the show drawn offscreen and read back as an image.

   render_open creates a framebuffer object of width x height (RGBA8 colour
   and a depth buffer, offscreen.h) in the current context and binds it;
   every frame is laid out by the show's stage for that size and mode
   (stage.h: adapted to the frame, the classic picture fitted between bars,
   or cropped as the window shows it). It returns 0, or 1 after writing one
   line to standard error.
   render_frame draws the show at show time t (0 to 15999) through the
   show's frame entry and reads it back as RGB bytes, top row first, into
   rgb (width * height * 3 bytes).
   render_frame_rgba does the same with the least work per frame: RGBA bytes,
   bottom row first, as GL holds them (width * height * 4 bytes). */
#ifndef VEXA_CAPTURE_RENDER_H
#define VEXA_CAPTURE_RENDER_H

#include "stage.h"

#include <cstdint>

int render_open(int width, int height, stage_mode mode);
void render_frame(uint32_t t, unsigned char* rgb);
void render_frame_rgba(uint32_t t, unsigned char* rgba);

#endif
