/* bmp_format.cpp - see bmp_format.h. */
#include "bmp_format.h"

#include <cstddef>

// On x86 with GCC or Clang the exchange has a byte-shuffle path, chosen at
// run time when the processor has SSSE3; elsewhere the plain loop runs.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define VEXA_SWAP_SSSE3 1
#include <tmmintrin.h>
#endif

static uint16_t u16(const unsigned char* p)
{
    return (uint16_t)(p[0] | p[1] << 8);
}

static uint32_t u32(const unsigned char* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

bool bmp_parse_file_header(bmp_header* h, const unsigned char bytes[BMP_FILE_HEADER_SIZE])
{
    h->off_bits = u32(bytes + 10);
    return bytes[0] == 'B' && bytes[1] == 'M';
}

void bmp_parse_info_header(bmp_header* h, const unsigned char bytes[BMP_INFO_HEADER_SIZE])
{
    h->width = (int32_t)u32(bytes + 4);
    h->height = (int32_t)u32(bytes + 8);
    h->bit_count = u16(bytes + 14);
    h->compression = u32(bytes + 16);
}

unsigned bmp_format_bytes(GLenum format)
{
    switch (format) {
    case GL_ALPHA:
    case GL_LUMINANCE:
        return 1;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    default:
        return 0;
    }
}

GLenum bmp_upload_format(const bmp_header* h, GLenum format)
{
    return format == GL_ALPHA && h->bit_count == 32 ? GL_RGBA : format;
}

bmp_fault bmp_check(const bmp_header* h, GLenum format)
{
    if (h->compression != 0)
        return BMP_COMPRESSED;
    const uint64_t texel = bmp_format_bytes(bmp_upload_format(h, format));
    if (texel == 0)
        return BMP_BAD_FORMAT;
    if (h->width < 0)
        return BMP_NEGATIVE_WIDTH;
    if (h->height < 0)
        return BMP_NEGATIVE_HEIGHT;
    if (h->width == 0 || h->height == 0)
        return BMP_EMPTY;
    const uint64_t pixel = h->bit_count >> 3;
    if (pixel < texel)
        return BMP_TOO_FEW_BITS;
    // Both factors are below 2^31, so the pixel count cannot wrap; checking
    // it first keeps the byte count (at most 2^31 x 8191) from wrapping too.
    const uint64_t pixels = (uint64_t)h->width * (uint64_t)h->height;
    if (pixels > INT32_MAX || pixels * pixel > INT32_MAX)
        return BMP_TOO_LARGE;
    // Rows are read as one packed block, and GL reads rows of the texel size
    // padded to 4 bytes: both lengths must already be multiples of 4.
    if ((uint64_t)h->width * pixel % 4 != 0 || (uint64_t)h->width * texel % 4 != 0)
        return BMP_ROW_UNALIGNED;
    return BMP_OK;
}

static const char* const fault_names[BMP_FAULTS] = {
#define BMP_FAULT_NAME(code, name, message) name,
    BMP_FAULT_LIST(BMP_FAULT_NAME)
#undef BMP_FAULT_NAME
};

static const char* const fault_messages[BMP_FAULTS] = {
#define BMP_FAULT_MESSAGE(code, name, message) message,
    BMP_FAULT_LIST(BMP_FAULT_MESSAGE)
#undef BMP_FAULT_MESSAGE
};

const char* bmp_fault_name(int fault)
{
    return fault >= 0 && fault < BMP_FAULTS ? fault_names[fault] : NULL;
}

const char* bmp_message(bmp_fault fault)
{
    return fault >= 0 && fault < BMP_FAULTS ? fault_messages[fault] : fault_messages[BMP_OK];
}

uint32_t bmp_size(const bmp_header* h)
{
    return (uint32_t)h->width * (uint32_t)h->height * (uint32_t)(h->bit_count >> 3);
}

/* The portable exchange: one flat pass, no calls inside. */
static void swap_red_blue(unsigned char* p, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const unsigned char b = p[3 * i];
        p[3 * i] = p[3 * i + 2];
        p[3 * i + 2] = b;
    }
}

#ifdef VEXA_SWAP_SSSE3

/* The same exchange 16 pixels (48 bytes, three vectors) at a time with byte
   shuffles, which run at memory-copy speed where the plain loop manages a
   quarter of it (the compiler does not vectorise the 3-byte stride well, and
   not at all without SSSE3). Output vector k takes its bytes from input
   vector k and, at the two pixels that straddle a vector boundary, one byte
   from its neighbour; an index of -1 gives zero, so the parts are or'ed. */
__attribute__((target("ssse3"))) static void swap_red_blue_ssse3(unsigned char* p, size_t n)
{
    const __m128i a0 = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, -1);
    const __m128i b0 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1);
    const __m128i a1 = _mm_setr_epi8(-1, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i b1 = _mm_setr_epi8(0, -1, 4, 3, 2, 7, 6, 5, 10, 9, 8, 13, 12, 11, -1, 15);
    const __m128i c1 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, -1);
    const __m128i b2 = _mm_setr_epi8(14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i c2 = _mm_setr_epi8(-1, 3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13);
    const size_t groups = n / 16;
    for (size_t i = 0; i < groups; ++i) {
        __m128i* q = (__m128i*)(void*)(p + 48 * i);
        const __m128i a = _mm_loadu_si128(q), b = _mm_loadu_si128(q + 1),
                      c = _mm_loadu_si128(q + 2);
        _mm_storeu_si128(q, _mm_or_si128(_mm_shuffle_epi8(a, a0), _mm_shuffle_epi8(b, b0)));
        _mm_storeu_si128(q + 1, _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, a1),
                                                          _mm_shuffle_epi8(b, b1)),
                                             _mm_shuffle_epi8(c, c1)));
        _mm_storeu_si128(q + 2, _mm_or_si128(_mm_shuffle_epi8(b, b2), _mm_shuffle_epi8(c, c2)));
    }
    swap_red_blue(p + 48 * groups, n - 16 * groups);
}
#endif

void bmp_prepare(const bmp_header* h, unsigned char* pixels)
{
    if (h->bit_count == 32) {
        const size_t n = (size_t)(uint32_t)h->width * (uint32_t)h->height;
        for (size_t i = 0; i < n; ++i) {
            const unsigned char b = pixels[4 * i];
            pixels[4 * i] = pixels[4 * i + 2];
            pixels[4 * i + 2] = b;
        }
        return;
    }
    if (h->bit_count != 24)
        return;
    const size_t n = (size_t)(uint32_t)h->width * (uint32_t)h->height;
#ifdef VEXA_SWAP_SSSE3
    if (__builtin_cpu_supports("ssse3")) {
        swap_red_blue_ssse3(pixels, n);
        return;
    }
#endif
    swap_red_blue(pixels, n);
}
