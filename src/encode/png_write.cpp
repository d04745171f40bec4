/* png_write.cpp - see png_write.h. */
#include "png_write.h"
#include "output_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

/* Rows of a picture in memory: the top row at `top`, the next `stride`
   bytes on (negative for pictures stored bottom row first), `channels`
   bytes a pixel, RGB first (a fourth byte is dropped unless alpha). */
struct rows {
    const unsigned char* top;
    ptrdiff_t stride;
    int channels;
    bool alpha;
};

/* Encodes into an open file; false on any libpng or write error. */
static bool encode(FILE* f, const rows& picture, int width, int height, png_effort effort)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, NULL);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, effort == png_fast ? 1 : 9);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8,
                 picture.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (effort == png_fast)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);  // one filter: no per-row trials
    png_write_info(png, info);
    if (picture.channels == 4 && !picture.alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < height; ++y)
        png_write_row(png, picture.top + y * picture.stride);
    png_write_end(png, NULL);
    png_destroy_write_struct(&png, &info);
    return true;
}

static int write_file(const char* path, const rows& picture, int width, int height, png_effort effort)
{
    out_file out;
    if (out_create(path, &out) != 0)
        return 1;
    FILE* f = fdopen(out.fd, "wb");
    errno = 0;
    int error = 0;
    if (!f || !encode(f, picture, width, height, effort) || fflush(f) != 0)
        error = errno ? errno : EIO;
    if (f) {
        if (fclose(f) != 0 && !error)
            error = errno;
        out.fd = -1;
    }
    if (error) {
        fprintf(stderr, "vexa-capture: %s: cannot write it: %s\n", path, strerror(error));
        out_discard(&out);
        return 1;
    }
    return out_commit(&out);
}

int png_write(const char* path, const unsigned char* rgb, int width, int height, png_effort effort)
{
    return write_file(path, rows{rgb, (ptrdiff_t)width * 3, 3, false}, width, height, effort);
}

int png_write_rgba_flipped(const char* path, const unsigned char* rgba, int width, int height, png_effort effort)
{
    const ptrdiff_t stride = (ptrdiff_t)width * 4;
    return write_file(path, rows{rgba + (height - 1) * stride, -stride, 4, false}, width, height, effort);
}

int png_write_with_alpha(const char* path, const unsigned char* rgba, int width, int height, png_effort effort)
{
    const ptrdiff_t stride = (ptrdiff_t)width * 4;
    return write_file(path, rows{rgba + (height - 1) * stride, -stride, 4, true}, width, height, effort);
}
