/* bmp_input.cpp - see bmp_input.h. */
#include "bmp_input.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static bmp_verdict refused(bmp_fault fault)
{
    switch (fault) {
    case BMP_OK:              break;
    case BMP_COMPRESSED:      return LOAD_COMPRESSED;
    case BMP_BAD_FORMAT:      return LOAD_BAD_FORMAT;
    case BMP_NEGATIVE_WIDTH:  return LOAD_NEGATIVE_WIDTH;
    case BMP_NEGATIVE_HEIGHT: return LOAD_NEGATIVE_HEIGHT;
    case BMP_EMPTY:           return LOAD_EMPTY;
    case BMP_TOO_FEW_BITS:    return LOAD_TOO_FEW_BITS;
    case BMP_TOO_LARGE:       return LOAD_TOO_LARGE;
    case BMP_ROW_UNALIGNED:   return LOAD_ROW_UNALIGNED;
    }
    fprintf(stderr, "bmp_check returned an unknown fault %d\n", (int)fault);
    abort();
}

/* Reads what glTexImage2D reads from the buffer with the default unpack
   alignment of 4; aborts if that reaches past the buffer's size bytes. */
static void upload(const bmp_header* h, GLenum format, const unsigned char* buffer, uint32_t size)
{
    const uint64_t texel = bmp_format_bytes(format);
    const uint64_t row = ((uint64_t)h->width * texel + 3) / 4 * 4;
    const uint64_t last = (uint64_t)h->width * texel;
    const uint64_t need = row * (uint64_t)(h->height - 1) + last;
    if (need > size) {
        fprintf(stderr, "checked header %dx%d, %u bits: the upload reads %llu bytes of a %u-byte buffer\n",
                h->width, h->height, (unsigned)h->bit_count, (unsigned long long)need, size);
        abort();
    }
    volatile unsigned char sink = 0;
    unsigned char sum = 0;
    for (uint64_t i = 0; i < need; ++i)
        sum ^= buffer[i];
    sink = sum;
    (void)sink;
}

bmp_verdict bmp_load_bytes(const unsigned char* data, size_t size, GLenum format)
{
    size_t pos = 0;
    if (size < BMP_FILE_HEADER_SIZE)
        return LOAD_BMFH;
    bmp_header h;
    if (!bmp_parse_file_header(&h, data))
        return LOAD_NOT_BMP;
    pos = BMP_FILE_HEADER_SIZE;

    if (size - pos < BMP_INFO_HEADER_SIZE)
        return LOAD_BMIH;
    bmp_parse_info_header(&h, data + pos);
    const bmp_fault fault = bmp_check(&h, format);
    if (fault != BMP_OK)
        return refused(fault);

    // A seek past the end of a file succeeds; the read after it gets nothing.
    pos = h.off_bits;
    const size_t available = pos < size ? size - pos : 0;
    const uint32_t want = bmp_size(&h);
    if (available < want)
        return LOAD_SHORT;

    // Exactly bmp_size bytes, as bmp_read allocates, so that the sanitizer
    // guards the buffer's true end.
    unsigned char* buffer = (unsigned char*)malloc(want);
    if (!buffer) {
        fprintf(stderr, "out of memory for %u bytes\n", want);
        abort();
    }
    memcpy(buffer, data + pos, want);
    bmp_prepare(&h, buffer);
    upload(&h, format, buffer, want);
    free(buffer);
    return LOAD_OK;
}

const char* bmp_verdict_name(int verdict)
{
    static const char* const names[LOAD_VERDICTS] = {
        "ok", "bmfh", "not_bmp", "bmih", "compressed", "bad_format", "negative_width",
        "negative_height", "empty", "too_few_bits", "too_large", "row_unaligned", "short",
    };
    return verdict >= 0 && verdict < LOAD_VERDICTS ? names[verdict] : NULL;
}
