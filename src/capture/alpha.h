/* alpha.h - frames with an alpha channel: the closing sequence drawn to lay
   over other footage (the show's overlay mode, my_overlay in vexa.h).

     show_init(&setup) with setup.overlay = true, then alpha_prepare();
     render_frame_rgba(t, rgba); alpha_straighten(rgba, width * height);

   alpha_prepare makes blending keep coverage in the framebuffer's alpha
   (source alpha plus what it leaves of the destination), so after a frame
   the framebuffer holds colour premultiplied by coverage, over transparent
   black; call it after show_init, which sets the blend function.
   alpha_straighten turns such pixels into straight (not premultiplied)
   colour, as PNG, ProRes 4444 and VP9 carry it: each channel divided by
   alpha, rounded; a pixel with no coverage becomes 0, 0, 0, 0. */
#ifndef VEXA_CAPTURE_ALPHA_H
#define VEXA_CAPTURE_ALPHA_H

#include <cstddef>

void alpha_prepare(void);
void alpha_straighten(unsigned char* rgba, size_t pixels);

#endif
