/* bmp_read.cpp - loads an uncompressed, bottom-up BMP file into level 0 of a
   GL texture (see tool.h for the interface, bmp_format.h for the header
   checks).

   Every failure writes one "path:reason" line to standard error and returns
   1 with the file closed, the buffer freed and no GL call made. errno is left
   as the failing library call set it (fopen, a read error, fseek, malloc), so
   the caller's exit path can print the system's reason; a failure the file's
   contents alone explain (short file, wrong format) leaves errno at 0, so no
   unrelated system text follows the line. */
#include "bmp_format.h"
#include "tool.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

/* Releases what the call holds and sets errno to what should be reported;
   fclose and free may change errno, so the value is set after them. */
static int fail(FILE* f, unsigned char* buffer, int error)
{
    free(buffer);
    if (f)
        fclose(f);
    errno = error;
    return 1;
}

/* errno for a failed read: the system's reason on a read error, none when
   the file simply ended. */
static int read_error(FILE* f, int error)
{
    return ferror(f) ? error : 0;
}

int bmp_read(GLuint texture, const char* path, GLenum format)
{
    FILE* f = fopen(path, "rb");
    if (!f) {
        const int error = errno;
        fprintf(stderr, "%s:can't open file.\n", path);
        errno = error;
        return 1;
    }

    unsigned char file_header[BMP_FILE_HEADER_SIZE];
    if (fread(file_header, sizeof file_header, 1, f) != 1) {
        const int error = read_error(f, errno);
        fprintf(stderr, "%s:bmfh read fail.\n", path);
        return fail(f, NULL, error);
    }
    bmp_header h;
    if (!bmp_parse_file_header(&h, file_header)) {
        fprintf(stderr, "%s:this file is not BMP.\n", path);
        return fail(f, NULL, 0);
    }

    unsigned char info_header[BMP_INFO_HEADER_SIZE];
    if (fread(info_header, sizeof info_header, 1, f) != 1) {
        const int error = read_error(f, errno);
        fprintf(stderr, "%s:bmih read fail.\n", path);
        return fail(f, NULL, error);
    }
    bmp_parse_info_header(&h, info_header);
    const bmp_fault fault = bmp_check(&h, format);
    if (fault != BMP_OK) {
        fprintf(stderr, bmp_message(fault), path);
        return fail(f, NULL, 0);
    }

    if (fseek(f, (long)h.off_bits, SEEK_SET) != 0) {
        const int error = errno;
        fprintf(stderr, "%s:seek fail.\n", path);
        return fail(f, NULL, error);
    }

    const uint32_t size = bmp_size(&h);
    unsigned char* buffer = (unsigned char*)malloc(size);
    if (!buffer) {
        const int error = errno;
        fprintf(stderr, "%s:buf is NULL.\n", path);
        return fail(f, NULL, error);
    }
    const size_t rd = fread(buffer, 1, size, f);
    if (rd != size) {
        const int error = read_error(f, errno);
        fprintf(stderr, "%s:size illegal rd(%d) != size(%d)\n", path, (int)rd, (int)size);
        return fail(f, buffer, error);
    }

    bmp_prepare(&h, buffer);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, (GLint)format, h.width, h.height, 0, format, GL_UNSIGNED_BYTE,
                 buffer);
    free(buffer);
    fclose(f);
    return 0;
}
