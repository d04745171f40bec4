/* stb_impl.c - stb_image's decoder and stb_image_resize's scaler for the
   page, from libstb-dev's headers: natively they come from Debian's libstb,
   built from the same headers with nothing else defined. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>
