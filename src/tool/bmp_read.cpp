/* bmp_read.cpp - loads an uncompressed, bottom-up BMP file, or its bytes in
   memory, into level 0 of a GL texture (see tool.h): bmp_load_pixels or
   bmp_load_memory (bmp_load.cpp) reads and checks it, then the pixels are
   uploaded (into a texture of power-of-two sides, when the image's are not)
   and GL's verdict on the upload is checked too. */
#include "bmp_format.h"
#include "tool.h"

#include <cerrno>
#include <cstdlib>

static int power_of_two(int n)
{
    int p = 1;
    while (p < n)
        p *= 2;
    return p;
}

/* Uploads the loaded pixels and frees them. */
static int upload(GLuint texture, const char* path, const bmp_header& h, unsigned char* buffer, GLenum asked,
                  int max_side, bmp_texture* loaded)
{
    const GLenum format = bmp_upload_format(&h, asked);
    const int tw = power_of_two(h.width), th = power_of_two(h.height);
    while (glGetError() != GL_NO_ERROR) {
        // what came before is not this upload's
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    if (tw == h.width && th == h.height) {
        glTexImage2D(GL_TEXTURE_2D, 0, (GLint)format, h.width, h.height, 0, format, GL_UNSIGNED_BYTE,
                     buffer);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, (GLint)format, tw, th, 0, format, GL_UNSIGNED_BYTE, NULL);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, h.width, h.height, format, GL_UNSIGNED_BYTE, buffer);
    }
    free(buffer);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        bmp_report(path, BMP_UPLOAD, &h, max_side, 0, error);
        errno = 0;
        return 1;
    }
    if (loaded)
        *loaded = {format, h.width, h.height, (float)h.width / (float)tw, (float)h.height / (float)th};
    return 0;
}

int bmp_read(GLuint texture, const char* path, GLenum format, int max_side, bmp_texture* loaded)
{
    bmp_header h;
    unsigned char* buffer;
    if (bmp_load_pixels(path, format, max_side, &h, &buffer) != 0)
        return 1;
    return upload(texture, path, h, buffer, format, max_side, loaded);
}

int bmp_read_memory(GLuint texture, const char* name, const unsigned char* data, size_t size, GLenum format,
                    int max_side, bmp_texture* loaded)
{
    bmp_header h{};
    unsigned char* buffer;
    const bmp_fault fault = bmp_load_memory(data, size, format, max_side, &h, &buffer);
    if (fault != BMP_OK) {
        // What a short block held past the pixels' offset.
        const uint32_t got = size > h.off_bits ? (uint32_t)(size - h.off_bits) : 0;
        bmp_report(name, fault, &h, max_side, got, 0);
        return 1;
    }
    return upload(texture, name, h, buffer, format, max_side, loaded);
}
