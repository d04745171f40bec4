/* bmp_input.h - bmp_read's decisions on a BMP file held in memory, for the
   fuzzer (fuzz_bmp.cpp) and the corpus replay test (tests/bmp_corpus_test.cpp).

   bmp_load_bytes runs the steps bmp_read runs, in the same order and through
   the same bmp_format.h functions, on data[0..size) in place of a FILE: the
   file header read and the "BM" test, the information header read,
   bmp_check, the seek to bfOffBits, the read of bmp_size bytes into a buffer
   of exactly that size, and bmp_prepare. In place of the GL upload it reads
   every byte glTexImage2D would read (height rows of width texels, each row
   padded to 4 bytes), so AddressSanitizer sees a byte the upload would take
   from outside the buffer; a header that passed bmp_check yet describes more
   upload bytes than the buffer holds aborts at once.

   Unlike bmp_read it allocates nothing for pixel data the input cannot hold
   (the read would fail anyway), so a header claiming 2 GiB costs nothing.

     bmp_verdict v = bmp_load_bytes(data, size, GL_RGB);
     printf("%s\n", bmp_verdict_name(v));   // "ok", "short", "compressed", ... */
#ifndef VEXA_BMP_INPUT_H
#define VEXA_BMP_INPUT_H

#include "bmp_format.h"

#include <cstddef>

/* How a load ends: every failure bmp_read reports, and success. */
enum bmp_verdict {
    LOAD_OK,
    LOAD_BMFH,            // file header not read: "bmfh read fail"
    LOAD_NOT_BMP,         // "this file is not BMP"
    LOAD_BMIH,            // information header not read: "bmih read fail"
    LOAD_COMPRESSED,      // refused by bmp_check, one verdict per bmp_fault
    LOAD_BAD_FORMAT,
    LOAD_NEGATIVE_WIDTH,
    LOAD_NEGATIVE_HEIGHT,
    LOAD_EMPTY,
    LOAD_TOO_FEW_BITS,
    LOAD_TOO_LARGE,
    LOAD_ROW_UNALIGNED,
    LOAD_SHORT,           // fewer pixel bytes than the header asks for: "size illegal"
    LOAD_VERDICTS         // the number of verdicts
};

bmp_verdict bmp_load_bytes(const unsigned char* data, size_t size, GLenum format);

/* "ok", "bmfh", "not_bmp", "bmih", "compressed", "bad_format",
   "negative_width", "negative_height", "empty", "too_few_bits", "too_large",
   "row_unaligned", "short"; NULL for a value out of range. */
const char* bmp_verdict_name(int verdict);

#endif
