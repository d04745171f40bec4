// photo.cpp - decoding (libjpeg for JPEG, scaled down while it decodes; stb_image
// for PNG and the rest), orientation (libexif), cover-crop scaling
// (stb_image_resize). See photo.h for the interface.
#include "photo.h"

#include "input_file.h"

#include <libexif/exif-data.h>
#include <stb_image.h>
#include <stb_image_resize.h>

#include <stdio.h>  // jpeglib.h wants FILE declared first
#include <jerror.h>
#include <jpeglib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
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

// The most a progressive JPEG (whose coefficients are held whole) may take to decode.
constexpr long jpeg_memory = 512L << 20;

// A picture as decoded: RGB, top row first, and how it is to be turned.
struct decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    int orientation = 1;
};

std::string megapixels(long long pixels)
{
    return std::to_string((pixels + 500000) / 1000000) + " megapixels";
}

std::string too_large(long long width, long long height, long long limit)
{
    return "an image of " + std::to_string(width) + "x" + std::to_string(height) + " pixels, more than the " +
           megapixels(limit) + " taken";
}

int exif_orientation(const unsigned char* data, unsigned size)
{
    ExifData* exif = exif_data_new_from_data(data, size);
    if (!exif)
        return 1;
    int orientation = 1;
    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->size >= 2)
        orientation = exif_get_short(entry->data, exif_data_get_byte_order(exif));
    exif_data_unref(exif);
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

// --- JPEG ---------------------------------------------------------------------------

struct jpeg_failure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    std::string why;
};

void jpeg_fail(j_common_ptr info)
{
    jpeg_failure* f = reinterpret_cast<jpeg_failure*>(info->err);
    if (f->manager.msg_code == JERR_NO_BACKING_STORE) {
        f->why = "a progressive JPEG this large needs more than " + std::to_string(jpeg_memory >> 20) +
                 " MiB to decode";
    } else {
        char message[JMSG_LENGTH_MAX];
        f->manager.format_message(info, message);
        f->why = std::string("a broken JPEG (") + message + ")";
    }
    std::longjmp(f->jump, 1);
}

// Warnings are let pass, but for data that ends early, at the file's end or at a
// marker (a header declaring a far larger picture than its data holds): libjpeg
// would fill the rest of the picture with grey.
void jpeg_warn(j_common_ptr info, int level)
{
    jpeg_failure* f = reinterpret_cast<jpeg_failure*>(info->err);
    if (level < 0 && (f->manager.msg_code == JWRN_JPEG_EOF || f->manager.msg_code == JWRN_HIT_MARKER)) {
        f->why = "the JPEG file ends early (cut short?)";
        std::longjmp(f->jump, 1);
    }
}

// The scale libjpeg decodes at: the smallest of 1/8, 1/4, 1/2 and 1 that keeps the
// longer side at least side pixels.
int jpeg_denominator(long long width, long long height, int side)
{
    const long long longer = std::max(width, height);
    int denominator = 8;
    while (denominator > 1 && (longer + denominator - 1) / denominator < side)
        denominator /= 2;
    return denominator;
}

bool decode_jpeg(FILE* file, int side, decoded& out, std::string& why)
{
    jpeg_decompress_struct info;
    jpeg_failure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = jpeg_fail;
    failure.manager.emit_message = jpeg_warn;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        why = failure.why;
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = jpeg_memory;
    jpeg_stdio_src(&info, file);
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    if ((long long)info.image_width * info.image_height > max_jpeg_pixels) {
        why = too_large(info.image_width, info.image_height, max_jpeg_pixels);
        jpeg_destroy_decompress(&info);
        return false;
    }
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length > 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0)
            out.orientation = exif_orientation(m->data, m->data_length);
    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = unsigned(jpeg_denominator(info.image_width, info.image_height, side));
    jpeg_start_decompress(&info);
    out.width = int(info.output_width);
    out.height = int(info.output_height);
    out.rgb.resize(size_t(out.width) * size_t(out.height) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &out.rgb[size_t(info.output_scanline) * size_t(out.width) * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// --- PNG and the rest (stb_image) ---------------------------------------------------

// stb_image's terse reasons in words.
std::string stb_reason(const char* reason)
{
    static const struct {
        const char* reason;
        const char* words;
    } words[] = {
        {"unknown image type", "not a PNG or JPEG image"},
        {"outofdata", "the file ends early (cut short?)"},
        {"too large", "an image too large to decode"},
        {"outofmem", "out of memory decoding it"},
        {"can't fopen", "cannot be opened"},
    };
    for (const auto& w : words)
        if (std::strcmp(reason, w.reason) == 0)
            return w.words;
    return std::string("a broken image (") + reason + ")";
}

// A PNG's size from its header (signature, then IHDR: width, height), read
// here because stb_image calls a PNG too large for it an unknown type.
bool png_size(FILE* file, long long* width, long long* height)
{
    static const unsigned char start[16] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    unsigned char head[24];
    const bool png = std::fread(head, 1, 24, file) == 24 && std::memcmp(head, start, 16) == 0;
    std::rewind(file);
    auto be32 = [&](int at) { return (long long)head[at] << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3]; };
    if (png)
        *width = be32(16), *height = be32(20);
    return png;
}

bool decode_other(FILE* file, decoded& out, std::string& why)
{
    long long png_w = 0, png_h = 0;
    if (png_size(file, &png_w, &png_h) && png_w * png_h > max_photo_pixels) {
        why = too_large(png_w, png_h, max_photo_pixels);
        return false;
    }
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_file(file, &width, &height, &channels)) {
        why = stb_reason(stbi_failure_reason());
        return false;
    }
    if (width <= 0 || height <= 0 || (long long)width * height > max_photo_pixels) {
        why = too_large(width, height, max_photo_pixels);
        return false;
    }
    unsigned char* rgba = stbi_load_from_file(file, &width, &height, &channels, 4);
    if (!rgba) {
        why = stb_reason(stbi_failure_reason());
        return false;
    }
    // Transparent parts over black.
    out.width = width;
    out.height = height;
    out.rgb.resize(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < size_t(width) * size_t(height); ++i)
        for (int k = 0; k < 3; ++k)
            out.rgb[i * 3 + size_t(k)] = uint8_t((rgba[i * 4 + size_t(k)] * rgba[i * 4 + 3] + 127) / 255);
    stbi_image_free(rgba);
    return true;
}

}  // namespace

bool load_backdrop(const std::string& path, int side, std::vector<uint8_t>& rgb, int& out_w, int& out_h,
                   std::string& why)
{
    const int fd = input_open(path, max_photo_file_bytes, &why, nullptr);
    if (fd < 0)
        return false;
    FILE* file = fdopen(fd, "rb");
    if (!file) {
        why = std::strerror(errno);
        close(fd);
        return false;
    }
    unsigned char magic[3] = {0, 0, 0};
    const bool jpeg = std::fread(magic, 1, 3, file) == 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF;
    std::rewind(file);
    decoded picture;
    const bool ok = jpeg ? decode_jpeg(file, side, picture, why) : decode_other(file, picture, why);
    std::fclose(file);
    if (!ok)
        return false;

    // Turned the right way up.
    const int width = picture.width, height = picture.height, orientation = picture.orientation;
    const bool swapped = orientation >= 5;
    const int shown_w = swapped ? height : width, shown_h = swapped ? width : height;
    std::vector<uint8_t> shown(size_t(shown_w) * size_t(shown_h) * 3);
    for (int y = 0; y < shown_h; ++y)
        for (int x = 0; x < shown_w; ++x) {
            int sx, sy;
            orient_source(orientation, width, height, x, y, &sx, &sy);
            std::memcpy(&shown[(size_t(y) * size_t(shown_w) + size_t(x)) * 3],
                        &picture.rgb[(size_t(sy) * size_t(width) + size_t(sx)) * 3], 3);
        }
    picture.rgb = std::vector<uint8_t>();

    // The whole picture, its long side scaled to side.
    const bool wide = shown_w >= shown_h;
    const long long short_in = wide ? shown_h : shown_w, long_in = wide ? shown_w : shown_h;
    const int short_out = std::max(4, int((short_in * side + long_in * 2) / (long_in * 4)) * 4);
    out_w = wide ? side : short_out;
    out_h = wide ? short_out : side;
    rgb.assign(size_t(out_w) * size_t(out_h) * 3, 0);
    if (!stbir_resize_uint8_srgb(shown.data(), shown_w, shown_h, shown_w * 3, rgb.data(), out_w, out_h, out_w * 3, 3,
                                 STBIR_ALPHA_CHANNEL_NONE, 0)) {
        why = "cannot scale the image";
        return false;
    }
    return true;
}
