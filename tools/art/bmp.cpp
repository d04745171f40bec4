// bmp.cpp - BMP encoding: 14-byte file header, 40-byte BITMAPINFOHEADER, optional
// palette, then bottom-up rows padded to four bytes. All fields little-endian.
// See bmp.h for the interface.
#include "bmp.h"

#include <cstddef>

namespace {

void put_u16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v & 0xff));
    out.push_back(uint8_t((v >> 8) & 0xff));
}

void put_u32(std::vector<uint8_t>& out, uint32_t v)
{
    put_u16(out, v & 0xffff);
    put_u16(out, v >> 16);
}

// Builds the whole file around pixel rows already converted to file order
// (bytes_per_pixel bytes per pixel, top row first, no padding).
std::vector<uint8_t> encode(int width, int height, int bits, const std::vector<uint8_t>& rows_top_down)
{
    const uint32_t bytes_per_pixel = uint32_t(bits / 8);
    const uint32_t row_bytes = uint32_t(width) * bytes_per_pixel;
    const uint32_t stride = (row_bytes + 3u) & ~3u;
    const uint32_t palette_bytes = bits == 8 ? 256u * 4u : 0u;
    const uint32_t off_bits = 14u + 40u + palette_bytes;
    const uint32_t image_bytes = stride * uint32_t(height);

    std::vector<uint8_t> out;
    out.reserve(off_bits + image_bytes);
    out.push_back('B');
    out.push_back('M');
    put_u32(out, off_bits + image_bytes);  // bfSize
    put_u16(out, 0);                       // bfReserved1
    put_u16(out, 0);                       // bfReserved2
    put_u32(out, off_bits);                // bfOffBits

    put_u32(out, 40);                      // biSize
    put_u32(out, uint32_t(width));         // biWidth
    put_u32(out, uint32_t(height));        // biHeight > 0: bottom-up
    put_u16(out, 1);                       // biPlanes
    put_u16(out, uint32_t(bits));          // biBitCount
    put_u32(out, 0);                       // biCompression: BI_RGB
    put_u32(out, image_bytes);             // biSizeImage
    put_u32(out, 2835);                    // biXPelsPerMeter (72 dpi)
    put_u32(out, 2835);                    // biYPelsPerMeter
    put_u32(out, bits == 8 ? 256 : 0);     // biClrUsed
    put_u32(out, 0);                       // biClrImportant

    if (bits == 8) {
        for (uint32_t i = 0; i < 256; ++i) {
            out.push_back(uint8_t(i));  // B
            out.push_back(uint8_t(i));  // G
            out.push_back(uint8_t(i));  // R
            out.push_back(0);
        }
    }

    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = rows_top_down.data() + size_t(y) * row_bytes;
        out.insert(out.end(), row, row + row_bytes);
        for (uint32_t pad = row_bytes; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

}  // namespace

std::vector<uint8_t> encode_bmp24(int width, int height, const std::vector<uint8_t>& rgb)
{
    // BMP stores colour as B,G,R.
    std::vector<uint8_t> bgr(rgb.size());
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        bgr[i] = rgb[i + 2];
        bgr[i + 1] = rgb[i + 1];
        bgr[i + 2] = rgb[i];
    }
    return encode(width, height, 24, bgr);
}

std::vector<uint8_t> encode_bmp8(int width, int height, const std::vector<uint8_t>& grey)
{
    return encode(width, height, 8, grey);
}

std::vector<uint8_t> encode_bmp32(int width, int height, const std::vector<uint8_t>& rgba)
{
    std::vector<uint8_t> bgra(rgba.size());
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        bgra[i] = rgba[i + 2];
        bgra[i + 1] = rgba[i + 1];
        bgra[i + 2] = rgba[i];
        bgra[i + 3] = rgba[i + 3];
    }
    return encode(width, height, 32, bgra);
}
