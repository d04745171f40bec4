/* png_write.h - RGB pictures as PNG files, written whole or not at all.

   png_write writes width x height RGB bytes (top row first) as an 8-bit RGB
   PNG, whole or not at all (output_file.h). Returns 0, or 1 after writing
   one line naming the file to standard error. png_fast compresses lightly, for long runs of frames;
   png_small compresses hard, for single pictures. */
#ifndef VEXA_ENCODE_PNG_WRITE_H
#define VEXA_ENCODE_PNG_WRITE_H

enum png_effort { png_fast, png_small };

int png_write(const char* path, const unsigned char* rgb, int width, int height, png_effort effort);
/* The same from RGBA bytes, bottom row first, as GL reads a framebuffer back. */
int png_write_rgba_flipped(const char* path, const unsigned char* rgba, int width, int height, png_effort effort);
/* The same, alpha kept: an 8-bit RGBA PNG (straight alpha, as PNG has it). */
int png_write_with_alpha(const char* path, const unsigned char* rgba, int width, int height, png_effort effort);

#endif
