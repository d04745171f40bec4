/* bmp_read.cpp - loads an uncompressed, bottom-up BMP file into level 0 of a
   GL texture (see tool.h for the interface, bmp_format.h for the header
   checks). bmp_load_pixels is its file-to-pixels half, without GL, which the
   loader benchmark measures on its own.

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
#include <algorithm>
#include <cstdint>
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

/* Bytes from the current position to the end of the file; as good as
   unlimited when the file cannot tell. */
static uint64_t bytes_left(FILE* f)
{
    const int saved = errno;  // a failed query is no failure of the load
    const long here = ftell(f);
    uint64_t left = UINT64_MAX;
    if (here >= 0 && fseek(f, 0, SEEK_END) == 0) {
        const long end = ftell(f);
        if (end >= here)
            left = (uint64_t)(end - here);
        fseek(f, here, SEEK_SET);
    }
    errno = saved;
    return left;
}

int bmp_load_pixels(const char* path, GLenum format, bmp_header* header, unsigned char** pixels)
{
    FILE* f = fopen(path, "rb");
    if (!f) {
        const int error = errno;
        fprintf(stderr, "%s:can't open file.\n", path);
        errno = error;
        return 1;
    }
    // Unbuffered: the headers are two small reads, and the pixel block then
    // arrives in one read straight into its buffer, instead of partly
    // through stdio's read-ahead and the rest at an unaligned address.
    setvbuf(f, NULL, _IONBF, 0);

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

    // A header can claim up to 2 GiB of pixels in a file of a few bytes. Such
    // a file fails the read below anyway; allocating only what the file
    // holds keeps it from costing the claimed size first.
    const uint32_t size = bmp_size(&h);
    const uint32_t want = (uint32_t)std::min<uint64_t>(size, bytes_left(f));
    unsigned char* buffer = (unsigned char*)malloc(want > 0 ? want : 1);
    if (!buffer) {
        const int error = errno;
        fprintf(stderr, "%s:buf is NULL.\n", path);
        return fail(f, NULL, error);
    }
    const size_t rd = fread(buffer, 1, want, f);
    if (rd != size) {
        const int error = read_error(f, errno);
        fprintf(stderr, "%s:size illegal rd(%d) != size(%d)\n", path, (int)rd, (int)size);
        return fail(f, buffer, error);
    }

    bmp_prepare(&h, buffer);
    fclose(f);
    *header = h;
    *pixels = buffer;
    return 0;
}

int bmp_read(GLuint texture, const char* path, GLenum format)
{
    bmp_header h;
    unsigned char* buffer;
    if (bmp_load_pixels(path, format, &h, &buffer) != 0)
        return 1;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, (GLint)format, h.width, h.height, 0, format, GL_UNSIGNED_BYTE,
                 buffer);
    free(buffer);
    return 0;
}
