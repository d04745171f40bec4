/* bmp_load.cpp - the BMP loader's file-to-pixels half, without GL (see
   bmp_format.h for its entries and faults; bmp_read.cpp adds the upload).

   One decoder reads from a byte source, a file or a memory block, so the
   fuzz target runs exactly the code the program runs: bmp_load_pixels on a
   file, bmp_load_memory on a block.

   Every failure writes one "path:reason" line to standard error and returns
   1 with the file closed, the buffer freed and no texture changed. errno is
   left as the failing library call set it (open, a read error, fseek,
   malloc), so the caller's exit path can print the system's reason; a
   failure the file's contents alone explain leaves errno at 0, so no
   unrelated system text follows the line. */
#include "bmp_format.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>

/* A file, or size bytes at data read as if they were one. */
struct byte_source {
    FILE* file;
    const unsigned char* data;
    size_t size, pos;
};

/* Reads up to n bytes; fewer at the end or on a read error. */
static size_t source_read(byte_source* s, void* buffer, size_t n)
{
    if (s->file)
        return fread(buffer, 1, n, s->file);
    const size_t got = s->pos < s->size ? std::min(n, s->size - s->pos) : 0;
    if (got > 0)  // an empty block may have no address at all
        memcpy(buffer, s->data + s->pos, got);
    s->pos += got;
    return got;
}

/* errno for a short read: the system's reason on a read error, none when the
   input simply ended. */
static int source_error(byte_source* s, int error)
{
    return s->file && ferror(s->file) ? error : 0;
}

/* Moves to offset; as with a file, past the end is allowed. */
static bool source_seek(byte_source* s, uint32_t offset)
{
    if (s->file)
        return fseek(s->file, (long)offset, SEEK_SET) == 0;
    s->pos = offset;
    return true;
}

/* Bytes from the current position to the end: none past the end. */
static uint64_t source_left(byte_source* s)
{
    if (!s->file)
        return s->pos < s->size ? s->size - s->pos : 0;
    const int saved = errno;  // a failed query is no failure of the load
    uint64_t left = UINT64_MAX;
    struct stat st;
    const long here = ftell(s->file);
    if (here >= 0 && fstat(fileno(s->file), &st) == 0)
        left = st.st_size > here ? (uint64_t)(st.st_size - here) : 0;
    errno = saved;
    return left;
}

/* The loader's work on any source. On BMP_SHORT *got is the bytes read.
   errno ends as the failing call left it, or 0 when the bytes alone explain
   the fault. */
static bmp_fault decode(byte_source* s, GLenum format, int max_side, bmp_header* out,
                        unsigned char** pixels, uint32_t* got)
{
    errno = 0;
    unsigned char file_header[BMP_FILE_HEADER_SIZE];
    if (source_read(s, file_header, sizeof file_header) != sizeof file_header) {
        errno = source_error(s, errno);
        return BMP_BMFH;
    }
    bmp_header h;
    if (!bmp_parse_file_header(&h, file_header))
        return BMP_NOT_BMP;
    unsigned char info_header[BMP_INFO_HEADER_SIZE];
    if (source_read(s, info_header, sizeof info_header) != sizeof info_header) {
        errno = source_error(s, errno);
        return BMP_BMIH;
    }
    bmp_parse_info_header(&h, info_header);
    *out = h;
    const bmp_fault fault = bmp_check(&h, format);
    if (fault != BMP_OK)
        return fault;
    if (h.width > max_side || h.height > max_side)
        return BMP_OVER_LIMIT;
    if (!source_seek(s, h.off_bits))
        return BMP_SEEK;

    // A header can claim up to 2 GiB of pixels in a file of a few bytes.
    // Such a file fails the read below anyway; allocating only what the
    // source holds keeps it from costing the claimed size first.
    const uint32_t size = bmp_size(&h);
    const uint32_t want = (uint32_t)std::min<uint64_t>(size, source_left(s));
    unsigned char* buffer = (unsigned char*)malloc(want > 0 ? want : 1);
    if (!buffer)
        return BMP_NO_MEMORY;
    *got = (uint32_t)source_read(s, buffer, want);
    if (*got != size) {
        errno = source_error(s, errno);
        free(buffer);
        return BMP_SHORT;
    }
    bmp_prepare(&h, buffer);
    *pixels = buffer;
    return BMP_OK;
}

static const char* report_program;  // NULL: the window program's own lines

void bmp_report_as(const char* program)
{
    report_program = program;
}

void bmp_report(const char* path, bmp_fault fault, const bmp_header* h, int max_side,
                   uint32_t got, unsigned gl_error)
{
    const int error = errno;  // the caller may still say why the system refused
    const char* line = bmp_message(fault);
    char text[PATH_MAX + 256];
    switch (fault) {
    case BMP_OVER_LIMIT: snprintf(text, sizeof text, line, path, h->width, h->height, max_side); break;
    case BMP_SHORT:      snprintf(text, sizeof text, line, path, (int)got, (int)bmp_size(h)); break;
    case BMP_UPLOAD:     snprintf(text, sizeof text, line, path, gl_error); break;
    default:             snprintf(text, sizeof text, line, path); break;
    }
    const size_t length = strlen(path);
    if (report_program && strncmp(text, path, length) == 0 && text[length] == ':')  // "path:reason"
        fprintf(stderr, "%s: %s: %s", report_program, path, text + length + 1);
    else
        fputs(text, stderr);
    errno = error;
}

/* Opens path for reading only if it is a regular file: a FIFO or a device
   would block or never end, so nothing waits on one. */
static bmp_fault open_regular(const char* path, FILE** file)
{
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return BMP_OPEN;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = 0;
        return BMP_NOT_REGULAR;
    }
    *file = fdopen(fd, "rb");
    if (!*file) {
        const int error = errno;
        close(fd);
        errno = error;
        return BMP_OPEN;
    }
    return BMP_OK;
}

int bmp_load_pixels(const char* path, GLenum format, int max_side, bmp_header* header,
                    unsigned char** pixels)
{
    byte_source s = {};
    bmp_fault fault = open_regular(path, &s.file);
    if (fault != BMP_OK) {
        const int error = errno;
        bmp_report(path, fault, NULL, max_side, 0, 0);
        errno = error;
        return 1;
    }
    // Unbuffered: the headers are two small reads, and the pixel block then
    // arrives in one read straight into its buffer, instead of partly
    // through stdio's read-ahead and the rest at an unaligned address.
    setvbuf(s.file, NULL, _IONBF, 0);
    bmp_header h = {};
    uint32_t got = 0;
    fault = decode(&s, format, max_side, &h, pixels, &got);
    const int error = errno;  // fclose may change it
    fclose(s.file);
    if (fault != BMP_OK) {
        bmp_report(path, fault, &h, max_side, got, 0);
        errno = error;
        return 1;
    }
    *header = h;
    return 0;
}

bmp_fault bmp_load_memory(const unsigned char* data, size_t size, GLenum format, int max_side,
                          bmp_header* header, unsigned char** pixels)
{
    byte_source s = {NULL, data, size, 0};
    uint32_t got = 0;
    return decode(&s, format, max_side, header, pixels, &got);
}
