/* bmp_file.h - BMP files made byte by byte for the loader and start-up tests.

     std::vector<unsigned char> px = {...};             // stored order, bottom row first
     write_file(dir + "/a.bmp", bmp_bytes(4, 4, 24, px));

   bmp_bytes writes the 14-byte file header, the 40-byte information header,
   an optional palette (which shifts bfOffBits past it) and the pixel bytes as
   given, little-endian, with no row padding added. */
#ifndef VEXA_BMP_FILE_H
#define VEXA_BMP_FILE_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using bytes = std::vector<unsigned char>;

inline void put16(bytes& b, uint32_t v)
{
    b.push_back(v & 0xff);
    b.push_back(v >> 8 & 0xff);
}

inline void put32(bytes& b, uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

struct bmp_layout {
    int32_t width = 4;
    int32_t height = 4;
    uint16_t bit_count = 24;
    uint32_t compression = 0;
    uint32_t palette = 0;  // palette entries of 4 bytes before the pixels
};

inline bytes bmp_bytes(const bmp_layout& s, const bytes& pixels)
{
    const uint32_t off = 14 + 40 + 4 * s.palette;
    bytes b;
    b.push_back('B');
    b.push_back('M');
    put32(b, off + (uint32_t)pixels.size());
    put32(b, 0);
    put32(b, off);
    put32(b, 40);
    put32(b, (uint32_t)s.width);
    put32(b, (uint32_t)s.height);
    put16(b, 1);
    put16(b, s.bit_count);
    put32(b, s.compression);
    for (int i = 0; i < 5; ++i)
        put32(b, 0);
    for (uint32_t i = 0; i < s.palette; ++i)
        put32(b, 0x00ffffffu - i);  // anything but the identity: it must be skipped
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

inline bytes bmp_bytes(int32_t width, int32_t height, uint16_t bit_count, const bytes& pixels)
{
    bmp_layout s;
    s.width = width;
    s.height = height;
    s.bit_count = bit_count;
    return bmp_bytes(s, pixels);
}

/* A width x height image of one colour, stored blue-green-red. */
inline bytes bmp_solid24(int32_t width, int32_t height, unsigned char r, unsigned char g,
                         unsigned char b)
{
    bytes px;
    for (int32_t i = 0; i < width * height; ++i) {
        px.push_back(b);
        px.push_back(g);
        px.push_back(r);
    }
    return bmp_bytes(width, height, 24, px);
}

/* A width x height 8-bit image, every pixel byte v, after a 256-entry palette. */
inline bytes bmp_solid8(int32_t width, int32_t height, unsigned char v)
{
    bmp_layout s;
    s.width = width;
    s.height = height;
    s.bit_count = 8;
    s.palette = 256;
    return bmp_bytes(s, bytes((size_t)width * height, v));
}

inline bool write_file(const std::string& path, const bytes& b)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = b.empty() || fwrite(b.data(), 1, b.size(), f) == b.size();
    return fclose(f) == 0 && ok;
}

#endif
