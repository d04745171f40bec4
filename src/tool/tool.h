/* tool.h - the toolkit: rectangles, quads, small vectors and BMP textures.

   Nothing here knows about the show. Rectangles are two corners, [0] the first
   (x0, y0) and [1] the second (x1, y1):
     pixel rectangle  unsigned [2][2]  in a size x size image, origin top-left, y down
     world rectangle  float [2][2]     origin bottom-left, y up
     texture rect.    float [2][2]     texture coordinates
   Every result is written into storage the caller provides.

   The quads draw one GL_QUADS at z = 0 with whatever colour, texture and
   enables the caller has set.

   bmp_read loads an uncompressed, bottom-up BMP file into level 0 of an
   existing texture. It refuses anything but a regular file, and an image
   wider or taller than max_side (the host passes GL's GL_MAX_TEXTURE_SIZE)
   before reading its pixels. It returns 0 on success and 1 on failure,
   after writing one line naming the file to standard error; errno is then
   the failing system call's (open, a read error, the seek, malloc), or 0
   when the file's contents alone explain the failure.

   bmp_read_memory does the same for a file's bytes in memory, data[0..size),
   naming the image name in its line; errno is then 0 but for malloc.

   A caption sheet (format GL_ALPHA) may also be a 32-bit file: colour with
   its alpha, held as GL_RGBA. An image whose sides are not powers of two
   goes into the lower left of a texture whose sides are (GL 1.1 and WebGL
   take no other). When loaded is given it says what the texture holds. */
#ifndef VEXA_TOOL_H
#define VEXA_TOOL_H

#include <GL/gl.h>
#include <cstddef>

/* rectangle conversion */
void bmp2pos(float pos[2][2], const unsigned bmp[2][2], unsigned size);
void pos2tex(float tex[2][2], const float pos[2][2], unsigned size);
void bmp2tex(float tex[2][2], const unsigned bmp[2][2], unsigned size);

/* quads */
void box(float x0, float y0, float x1, float y1);
void texbox(float x0, float y0, float x1, float y1);
void texbox2(const float pos[2][2], const float tex[2][2]);

/* vectors; normalize's dst may be src, crossproduct's out must be a third array */
void normalize(float dst[3], const float src[3]);
void multiply(float v[3], float k);
void crossproduct(float out[3], const float a[3], const float b[3]);

/* textures */
struct bmp_texture {
    GLenum format;      // as GL holds it
    int width, height;  // the image's pixels
    float s, t;         // the part of the texture it fills, 1 for a power-of-two side
};
int bmp_read(GLuint texture, const char* path, GLenum format, int max_side, bmp_texture* loaded = NULL);
int bmp_read_memory(GLuint texture, const char* name, const unsigned char* data, size_t size, GLenum format,
                    int max_side, bmp_texture* loaded = NULL);

#endif
