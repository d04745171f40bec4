/* art_sizes.h - the resolution of the default artwork, in texels.

   The show cuts and places its images in a 1024 grid (sheet_rects.h) and
   addresses textures by relative coordinates, so any resolution loads; the
   artwork generator paints at these sizes, which keep the picture as sharp
   at 1920x1080 in every layout (stage.h) as the 4:3 picture is at 1024x768. */
#ifndef VEXA_ART_SIZES_H
#define VEXA_ART_SIZES_H

enum {
    art_card_side = 1024,   // number cards, 24-bit
    art_photo_side = 2048,  // the photo backdrop, 24-bit
    art_sheet_side = 2048,  // the two caption sheets, 8-bit coverage
};

#endif
