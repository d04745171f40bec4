/* bmp_format.h - the BMP headers as bmp_read sees them, checked without GL.

   bmp_read (bmp_read.cpp) does the file I/O and the GL upload; everything it
   decides from header bytes lives here, so it can be tested, and fuzzed, on
   plain byte arrays without a GL context:

     unsigned char fh[BMP_FILE_HEADER_SIZE], ih[BMP_INFO_HEADER_SIZE];
     bmp_header h;
     if (!bmp_parse_file_header(&h, fh))  ... "this file is not BMP"
     bmp_parse_info_header(&h, ih);
     bmp_fault f = bmp_check(&h, GL_RGB);
     if (f != BMP_OK) fprintf(stderr, bmp_message(f), path);
     uint32_t size = bmp_size(&h);        // bytes of pixel data to read
     ... read size bytes at h.off_bits into buf ...
     bmp_prepare(&h, buf);                // 24-bit: blue-green-red -> red-green-blue

   Fields are read little-endian byte by byte, whatever the host. */
#ifndef VEXA_BMP_FORMAT_H
#define VEXA_BMP_FORMAT_H

#include <GL/gl.h>
#include <cstdint>

enum { BMP_FILE_HEADER_SIZE = 14, BMP_INFO_HEADER_SIZE = 40 };

/* The fields bmp_read uses. */
struct bmp_header {
    uint32_t off_bits;     // bfOffBits: file offset of the pixel data
    int32_t width;         // biWidth
    int32_t height;        // biHeight; negative for a top-down file
    uint16_t bit_count;    // biBitCount
    uint32_t compression;  // biCompression; 0 is BI_RGB
};

/* Why a header is refused, in the order bmp_check tests them. */
enum bmp_fault {
    BMP_OK,
    BMP_COMPRESSED,       // biCompression is not 0
    BMP_BAD_FORMAT,       // a GL format bmp_read does not know the texel size of
    BMP_NEGATIVE_WIDTH,
    BMP_NEGATIVE_HEIGHT,  // a top-down file
    BMP_EMPTY,            // zero width or height
    BMP_TOO_FEW_BITS,     // fewer bytes per pixel than the format takes
    BMP_TOO_LARGE,        // the pixel byte count does not fit a signed 32-bit count
    BMP_ROW_UNALIGNED,    // a row is not a multiple of 4 bytes, in the file or in GL
};

/* Fills off_bits from a file header; false unless it starts with "BM". */
bool bmp_parse_file_header(bmp_header* h, const unsigned char bytes[BMP_FILE_HEADER_SIZE]);
/* Fills width, height, bit_count and compression from an information header. */
void bmp_parse_info_header(bmp_header* h, const unsigned char bytes[BMP_INFO_HEADER_SIZE]);

/* BMP_OK when the pixel block bmp_size describes covers everything the swap
   and a GL upload in this format (unpack alignment 4) would touch. */
bmp_fault bmp_check(const bmp_header* h, GLenum format);
/* The "%s:..." line for a fault (one %s, the path), ending in a newline. */
const char* bmp_message(bmp_fault fault);

/* Bytes per texel a GL format takes: 3 for GL_RGB, 1 for GL_ALPHA, ...;
   0 for a format not listed. */
unsigned bmp_format_bytes(GLenum format);

/* The pixel block's byte count: width x height x (bit_count / 8), modulo
   2^32. Only meaningful once bmp_check has passed. */
uint32_t bmp_size(const bmp_header* h);

/* Turns the pixel block of a checked header into GL's byte order: for 24-bit
   pixels bytes 0 and 2 are exchanged, other bit counts are left alone. */
void bmp_prepare(const bmp_header* h, unsigned char* pixels);

#endif
