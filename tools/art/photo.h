// photo.h - a person's own picture made into the photo backdrop, whole.
//
//   std::vector<uint8_t> rgb;  int w, h;  std::string why;
//   if (!load_backdrop("trip.jpg", 2048, rgb, w, h, why))  ... "trip.jpg: " + why
//
// Reads a JPEG (libjpeg, decoded at the scale of 1/8, 1/4, 1/2 or 1 that still gives
// the long side, so that camera photos of a hundred megapixels and more take little
// memory) or a PNG (and the other formats stb_image knows), turns it the right way up
// by its EXIF orientation tag (libexif) and scales the whole picture so that its
// long side is side pixels (no cropping, no stretching: the short side to the
// nearest multiple of 4, at least 4, so that BMP rows need no padding), filtering in
// linear light. The show crops it to each frame by its focus and zoom. The result
// is w x h RGB, top row first; the same file gives the same bytes. Only a regular
// file is read: a FIFO or a device is refused at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pixels a JPEG may have (it is decoded scaled down), and any other image (decoded
// whole, four bytes a pixel), before it is refused as too large; the largest file.
constexpr long long max_jpeg_pixels = 1LL << 28;
constexpr long long max_photo_pixels = 1LL << 26;
constexpr long long max_photo_file_bytes = 1LL << 30;

// False with why set to what is wrong, in words, when the file cannot be read or
// decoded.
bool load_backdrop(const std::string& path, int side, std::vector<uint8_t>& rgb, int& width, int& height,
                   std::string& why);

// A picture stored as (width, height) is shown as the picture that orientation
// (EXIF 1..8; others count as 1) says; the shown picture's pixel (x, y) is then the
// stored pixel *sx, *sy. Swaps width and height for orientations 5 to 8.
void orient_source(int orientation, int width, int height, int x, int y, int* sx, int* sy);
