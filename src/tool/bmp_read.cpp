/* bmp_read.cpp - loads an uncompressed, bottom-up BMP file into level 0 of a
   GL texture (see tool.h): bmp_load_pixels (bmp_load.cpp) reads and checks
   the file, then the pixels are uploaded and GL's verdict on the upload is
   checked too. */
#include "bmp_format.h"
#include "tool.h"

#include <cerrno>
#include <cstdlib>

int bmp_read(GLuint texture, const char* path, GLenum format, int max_side)
{
    bmp_header h;
    unsigned char* buffer;
    if (bmp_load_pixels(path, format, max_side, &h, &buffer) != 0)
        return 1;
    while (glGetError() != GL_NO_ERROR) {
        // what came before is not this upload's
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, (GLint)format, h.width, h.height, 0, format, GL_UNSIGNED_BYTE,
                 buffer);
    free(buffer);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        bmp_report(path, BMP_UPLOAD, &h, max_side, 0, error);
        errno = 0;
        return 1;
    }
    return 0;
}
