// bmp.h - encodes uncompressed Windows BMP files (24-bit colour, 32-bit colour with
// alpha and 8-bit grey).
//
// Images are handed over top row first; the encoder stores them bottom-up (positive
// height), pads every row to a multiple of four bytes, and for 8-bit images adds a
// 256-entry grey-ramp palette so that a pixel byte reads as its own coverage.
//   encode_bmp24(w, h, rgb)   rgb: w*h*3 bytes, R,G,B per pixel, top row first
//   encode_bmp8(w, h, grey)   grey: w*h bytes, top row first
//   encode_bmp32(w, h, rgba)  rgba: w*h*4 bytes, straight alpha, top row first; stored
//                             B,G,R,A (BI_RGB, the fourth byte the alpha)
// Both return the whole file's bytes.
#pragma once

#include <cstdint>
#include <vector>

std::vector<uint8_t> encode_bmp24(int width, int height, const std::vector<uint8_t>& rgb);
std::vector<uint8_t> encode_bmp8(int width, int height, const std::vector<uint8_t>& grey);
std::vector<uint8_t> encode_bmp32(int width, int height, const std::vector<uint8_t>& rgba);
