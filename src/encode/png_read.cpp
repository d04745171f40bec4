/* png_read.cpp - see png_read.h. libpng's simplified reader, into grey
   bytes: the smallest buffer that still makes it decode every row. */
#include "png_read.h"

#include <png.h>

#include <vector>

bool png_decodes(const char* path, int* width, int* height)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path))
        return false;
    image.format = PNG_FORMAT_GRAY;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, NULL, pixels.data(), 0, NULL))
        return false;  // freed by the failed read
    *width = (int)image.width;
    *height = (int)image.height;
    return true;
}
