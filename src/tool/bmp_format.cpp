/* bmp_format.cpp - see bmp_format.h. */
#include "bmp_format.h"

#include <cstddef>

static uint16_t u16(const unsigned char* p)
{
    return (uint16_t)(p[0] | p[1] << 8);
}

static uint32_t u32(const unsigned char* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

bool bmp_parse_file_header(bmp_header* h, const unsigned char bytes[BMP_FILE_HEADER_SIZE])
{
    h->off_bits = u32(bytes + 10);
    return bytes[0] == 'B' && bytes[1] == 'M';
}

void bmp_parse_info_header(bmp_header* h, const unsigned char bytes[BMP_INFO_HEADER_SIZE])
{
    h->width = (int32_t)u32(bytes + 4);
    h->height = (int32_t)u32(bytes + 8);
    h->bit_count = u16(bytes + 14);
    h->compression = u32(bytes + 16);
}

unsigned bmp_format_bytes(GLenum format)
{
    switch (format) {
    case GL_ALPHA:
    case GL_LUMINANCE:
        return 1;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    default:
        return 0;
    }
}

bmp_fault bmp_check(const bmp_header* h, GLenum format)
{
    if (h->compression != 0)
        return BMP_COMPRESSED;
    const uint64_t texel = bmp_format_bytes(format);
    if (texel == 0)
        return BMP_BAD_FORMAT;
    if (h->width < 0)
        return BMP_NEGATIVE_WIDTH;
    if (h->height < 0)
        return BMP_NEGATIVE_HEIGHT;
    if (h->width == 0 || h->height == 0)
        return BMP_EMPTY;
    const uint64_t pixel = h->bit_count >> 3;
    if (pixel < texel)
        return BMP_TOO_FEW_BITS;
    // Both factors are below 2^31, so the pixel count cannot wrap; checking
    // it first keeps the byte count (at most 2^31 x 8191) from wrapping too.
    const uint64_t pixels = (uint64_t)h->width * (uint64_t)h->height;
    if (pixels > INT32_MAX || pixels * pixel > INT32_MAX)
        return BMP_TOO_LARGE;
    // Rows are read as one packed block, and GL reads rows of the texel size
    // padded to 4 bytes: both lengths must already be multiples of 4.
    if ((uint64_t)h->width * pixel % 4 != 0 || (uint64_t)h->width * texel % 4 != 0)
        return BMP_ROW_UNALIGNED;
    return BMP_OK;
}

const char* bmp_message(bmp_fault fault)
{
    switch (fault) {
    case BMP_OK:
        break;
    case BMP_COMPRESSED:
        return "%s:Compression mode is not supported.\n";
    case BMP_BAD_FORMAT:
        return "%s:texture format is not supported.\n";
    case BMP_NEGATIVE_WIDTH:
        return "%s:width is negative.\n";
    case BMP_NEGATIVE_HEIGHT:
        return "%s:height is negative (top-down BMP is not supported).\n";
    case BMP_EMPTY:
        return "%s:image is empty.\n";
    case BMP_TOO_FEW_BITS:
        return "%s:too few bits per pixel for the texture format.\n";
    case BMP_TOO_LARGE:
        return "%s:image is too large.\n";
    case BMP_ROW_UNALIGNED:
        return "%s:row length is not a multiple of 4 bytes.\n";
    }
    return "%s:ok.\n";
}

uint32_t bmp_size(const bmp_header* h)
{
    return (uint32_t)h->width * (uint32_t)h->height * (uint32_t)(h->bit_count >> 3);
}

void bmp_prepare(const bmp_header* h, unsigned char* pixels)
{
    if (h->bit_count != 24)
        return;
    // One flat pass over width x height packed pixels, no calls inside. It
    // runs at memory speed; with byte shuffles in the instruction set
    // (SSSE3 and later) the compiler also vectorises it.
    const size_t n = (size_t)(uint32_t)h->width * (uint32_t)h->height;
    unsigned char* p = pixels;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char b = p[3 * i];
        p[3 * i] = p[3 * i + 2];
        p[3 * i + 2] = b;
    }
}
