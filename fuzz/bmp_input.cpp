/* bmp_input.cpp - see bmp_input.h. */
#include "bmp_input.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

/* Reads what glTexImage2D reads from the buffer with the default unpack
   alignment of 4; aborts if that reaches past the buffer's size bytes. */
static void upload(const bmp_header* h, GLenum format, const unsigned char* buffer, uint32_t size)
{
    const uint64_t texel = bmp_format_bytes(bmp_upload_format(h, format));
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

bmp_fault bmp_load_bytes(const unsigned char* data, size_t size, GLenum format)
{
    bmp_header h;
    unsigned char* pixels = NULL;
    const bmp_fault fault = bmp_load_memory(data, size, format, fuzz_max_side, &h, &pixels);
    if (fault == BMP_OK) {
        upload(&h, format, pixels, bmp_size(&h));
        free(pixels);
    }
    return fault;
}
