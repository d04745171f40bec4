/* bmp_format.h - the BMP headers as bmp_read sees them, checked without GL.

   bmp_load_pixels and bmp_load_memory (bmp_load.cpp) read a file or a block,
   bmp_read (bmp_read.cpp) adds the GL upload; everything they decide from
   header bytes lives here, so it can be tested, and fuzzed, on
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
#include <cstddef>
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

/* Every way a load ends, with its name (the fuzz corpus's verdicts) and
   its "%s:..." line. The refusals bmp_check makes come first, in the order
   it tests them; then the ones the loader meets reading a file. Each line
   takes the path; BMP_OVER_LIMIT also width, height and the limit (%d),
   BMP_SHORT the bytes read and wanted (%d), BMP_UPLOAD GL's error (%x). */
#define BMP_FAULT_LIST(X)                                                                      \
    X(BMP_OK, "ok", "%s:ok.\n")                                                                \
    X(BMP_COMPRESSED, "compressed", "%s:Compression mode is not supported.\n")                 \
    X(BMP_BAD_FORMAT, "bad_format", "%s:texture format is not supported.\n")                   \
    X(BMP_NEGATIVE_WIDTH, "negative_width", "%s:width is negative.\n")                         \
    X(BMP_NEGATIVE_HEIGHT, "negative_height",                                                 \
      "%s:height is negative (top-down BMP is not supported).\n")                              \
    X(BMP_EMPTY, "empty", "%s:image is empty.\n")                                              \
    X(BMP_TOO_FEW_BITS, "too_few_bits", "%s:too few bits per pixel for the texture format.\n") \
    X(BMP_TOO_LARGE, "too_large", "%s:image is too large.\n")                                  \
    X(BMP_ROW_UNALIGNED, "row_unaligned", "%s:row length is not a multiple of 4 bytes.\n")     \
    X(BMP_OVER_LIMIT, "over_limit", "%s:%dx%d is larger than the largest texture, %d.\n")      \
    X(BMP_OPEN, "open", "%s:can't open file.\n")                                               \
    X(BMP_NOT_REGULAR, "not_regular", "%s:not a regular file.\n")                              \
    X(BMP_BMFH, "bmfh", "%s:bmfh read fail.\n")                                                \
    X(BMP_NOT_BMP, "not_bmp", "%s:this file is not BMP.\n")                                    \
    X(BMP_BMIH, "bmih", "%s:bmih read fail.\n")                                                \
    X(BMP_SEEK, "seek", "%s:seek fail.\n")                                                     \
    X(BMP_NO_MEMORY, "no_memory", "%s:buf is NULL.\n")                                         \
    X(BMP_SHORT, "short", "%s:size illegal rd(%d) != size(%d)\n")                              \
    X(BMP_UPLOAD, "upload", "%s:GL refused the texture (error 0x%04x).\n")

enum bmp_fault {
#define BMP_FAULT_CODE(code, name, message) code,
    BMP_FAULT_LIST(BMP_FAULT_CODE)
#undef BMP_FAULT_CODE
    BMP_FAULTS  // the number of faults
};

/* "ok", "compressed", ...; NULL for a value out of range. */
const char* bmp_fault_name(int fault);

/* Fills off_bits from a file header; false unless it starts with "BM". */
bool bmp_parse_file_header(bmp_header* h, const unsigned char bytes[BMP_FILE_HEADER_SIZE]);
/* Fills width, height, bit_count and compression from an information header. */
void bmp_parse_info_header(bmp_header* h, const unsigned char bytes[BMP_INFO_HEADER_SIZE]);

/* The format the pixels go to GL in: the format asked for, but for a caption
   sheet (GL_ALPHA) held in a 32-bit file, which is colour with its alpha
   (GL_RGBA). */
GLenum bmp_upload_format(const bmp_header* h, GLenum format);

/* BMP_OK when the pixel block bmp_size describes covers everything the swap
   and a GL upload in bmp_upload_format (unpack alignment 4) would touch. */
bmp_fault bmp_check(const bmp_header* h, GLenum format);
/* The "%s:..." line for a fault, ending in a newline (see BMP_FAULT_LIST
   for the arguments past the path). */
const char* bmp_message(bmp_fault fault);

/* Bytes per texel a GL format takes: 3 for GL_RGB, 1 for GL_ALPHA, ...;
   0 for a format not listed. */
unsigned bmp_format_bytes(GLenum format);

/* The pixel block's byte count: width x height x (bit_count / 8), modulo
   2^32. Only meaningful once bmp_check has passed. */
uint32_t bmp_size(const bmp_header* h);

/* Turns the pixel block of a checked header into GL's byte order: for 24-bit
   and 32-bit pixels bytes 0 and 2 are exchanged (blue-green-red-alpha to
   red-green-blue-alpha), other bit counts are left alone. */
void bmp_prepare(const bmp_header* h, unsigned char* pixels);

/* The loader's file-to-pixels work, without GL (bmp_load.cpp; bmp_read.cpp
   uploads what bmp_load_pixels returns). Both check
   the headers for format and for a largest texture side of max_side, read
   the pixel block and prepare it; on success *header is filled and *pixels
   is a malloc'd block of bmp_size(header) bytes the caller frees.

   bmp_load_pixels reads the file at path, which must be a regular file. It
   returns 0, or 1 after writing the fault's one line to standard error, with
   errno set as bmp_read describes (tool.h) and nothing held.

   bmp_load_memory does the same on data[0..size) as if it were the file,
   writes nothing and returns the fault (the fuzz target's entry). */
int bmp_load_pixels(const char* path, GLenum format, int max_side, bmp_header* header,
                    unsigned char** pixels);
bmp_fault bmp_load_memory(const unsigned char* data, size_t size, GLenum format, int max_side,
                          bmp_header* header, unsigned char** pixels);

/* Writes fault's line for path to standard error: h is the header as far
   as it was read (BMP_OVER_LIMIT, BMP_SHORT), got the bytes read
   (BMP_SHORT), gl_error GL's error (BMP_UPLOAD). */
/* After bmp_report_as("prog"), lines read "prog: path: reason", as the
   other programs write theirs, instead of the window program's "path:reason". */
void bmp_report_as(const char* program);
void bmp_report(const char* path, bmp_fault fault, const bmp_header* h, int max_side, uint32_t got,
                unsigned gl_error);

#endif
