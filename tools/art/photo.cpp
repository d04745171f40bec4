// photo.cpp - decoding (stb_image), orientation (libexif), cover-crop scaling
// (stb_image_resize). See photo.h for the interface.
#include "photo.h"

#include <libexif/exif-data.h>
#include <stb_image.h>
#include <stb_image_resize.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

void orient_source(int orientation, int width, int height, int x, int y, int* sx, int* sy)
{
    switch (orientation) {
    case 2: *sx = width - 1 - x, *sy = y; break;                        // mirrored
    case 3: *sx = width - 1 - x, *sy = height - 1 - y; break;           // upside down
    case 4: *sx = x, *sy = height - 1 - y; break;                       // mirrored, upside down
    case 5: *sx = y, *sy = x; break;                                    // transposed
    case 6: *sx = y, *sy = height - 1 - x; break;                       // turned a quarter clockwise
    case 7: *sx = width - 1 - y, *sy = height - 1 - x; break;           // transversed
    case 8: *sx = width - 1 - y, *sy = x; break;                        // turned a quarter anticlockwise
    default: *sx = x, *sy = y; break;
    }
}

namespace {

int exif_orientation(const std::string& path)
{
    ExifData* data = exif_data_new_from_file(path.c_str());
    if (!data)
        return 1;
    int orientation = 1;
    ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->size >= 2)
        orientation = exif_get_short(entry->data, exif_data_get_byte_order(data));
    exif_data_unref(data);
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

}  // namespace

bool load_backdrop(const std::string& path, int side, std::vector<uint8_t>& rgb, std::string& why)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_file(file, &width, &height, &channels)) {
        why = stbi_failure_reason();
        std::fclose(file);
        return false;
    }
    if (width <= 0 || height <= 0 || (long long)width * height > max_photo_pixels) {
        why = "image of " + std::to_string(width) + "x" + std::to_string(height) + " pixels is too large";
        std::fclose(file);
        return false;
    }
    unsigned char* rgba = stbi_load_from_file(file, &width, &height, &channels, 4);
    std::fclose(file);
    if (!rgba) {
        why = stbi_failure_reason();
        return false;
    }

    // Turned the right way up, transparent parts over black.
    const int orientation = exif_orientation(path);
    const bool swapped = orientation >= 5;
    const int shown_w = swapped ? height : width, shown_h = swapped ? width : height;
    std::vector<uint8_t> shown(size_t(shown_w) * size_t(shown_h) * 3);
    for (int y = 0; y < shown_h; ++y)
        for (int x = 0; x < shown_w; ++x) {
            int sx, sy;
            orient_source(orientation, width, height, x, y, &sx, &sy);
            const unsigned char* p = rgba + (size_t(sy) * size_t(width) + size_t(sx)) * 4;
            uint8_t* q = &shown[(size_t(y) * size_t(shown_w) + size_t(x)) * 3];
            for (int k = 0; k < 3; ++k)
                q[k] = uint8_t((p[k] * p[3] + 127) / 255);
        }
    stbi_image_free(rgba);

    // The largest centred square, scaled to side.
    const int crop = std::min(shown_w, shown_h);
    const int cx = (shown_w - crop) / 2, cy = (shown_h - crop) / 2;
    rgb.assign(size_t(side) * size_t(side) * 3, 0);
    const uint8_t* start = &shown[(size_t(cy) * size_t(shown_w) + size_t(cx)) * 3];
    if (!stbir_resize_uint8_srgb(start, crop, crop, shown_w * 3, rgb.data(), side, side, side * 3, 3,
                                 STBIR_ALPHA_CHANNEL_NONE, 0)) {
        why = "cannot scale the image";
        return false;
    }
    return true;
}
