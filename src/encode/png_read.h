/* png_read.h - whether a PNG file is whole: decoded to its last row (a
   file cut short, or damaged, is not), and how large it is.

   png_decodes returns true with *width and *height set when libpng reads
   every pixel of path without an error; false otherwise, quietly. */
#ifndef VEXA_ENCODE_PNG_READ_H
#define VEXA_ENCODE_PNG_READ_H

bool png_decodes(const char* path, int* width, int* height);

#endif
