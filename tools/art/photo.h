// photo.h - a person's own picture made into the square photo backdrop.
//
//   std::vector<uint8_t> rgb;  std::string why;
//   if (!load_backdrop("trip.jpg", 1024, rgb, why))  ... "trip.jpg: " + why
//
// Reads PNG or JPEG (and the other formats stb_image knows) of any size, turns it the
// right way up by its EXIF orientation tag (libexif), scales it so that it covers the
// square and crops the middle (no stretching), filtering in linear light. The result
// is side x side RGB, top row first; the same file gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pixels an image may have before it is refused as too large to decode.
constexpr long long max_photo_pixels = 1LL << 26;

// False with why set to the library's reason when the file cannot be read or decoded.
bool load_backdrop(const std::string& path, int side, std::vector<uint8_t>& rgb, std::string& why);

// A picture stored as (width, height) is shown as the picture that orientation
// (EXIF 1..8; others count as 1) says; the shown picture's pixel (x, y) is then the
// stored pixel *sx, *sy. Swaps width and height for orientations 5 to 8.
void orient_source(int orientation, int width, int height, int x, int y, int* sx, int* sy);
