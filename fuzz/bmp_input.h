/* bmp_input.h - the loader on a BMP file held in memory, for the fuzzer
   (fuzz_bmp.cpp) and the corpus replay test (tests/bmp_corpus_test.cpp).

   bmp_load_bytes runs the loader's own decoder (bmp_load_memory, the code
   bmp_read runs on a file) on data[0..size) with a largest texture side of
   fuzz_max_side. In place of the GL upload it reads every byte glTexImage2D
   would read (height rows of width texels, each row padded to 4 bytes), so
   AddressSanitizer sees a byte the upload would take from outside the
   buffer; a header that passed the checks yet describes more upload bytes
   than the buffer holds aborts at once.

     bmp_fault v = bmp_load_bytes(data, size, GL_RGB);
     printf("%s\n", bmp_fault_name(v));   // "ok", "short", "compressed", ... */
#ifndef VEXA_BMP_INPUT_H
#define VEXA_BMP_INPUT_H

#include "bmp_format.h"

#include <cstddef>

/* The largest texture side the fuzzer's loads accept: GL's usual limit. */
enum { fuzz_max_side = 16384 };

bmp_fault bmp_load_bytes(const unsigned char* data, size_t size, GLenum format);

#endif
