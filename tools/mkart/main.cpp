// mkart - writes the show's artwork into a directory, as BMP files:
//   5.bmp .. 0.bmp, -1.bmp .. -3.bmp   countdown-leader number cards, 512x512, 24-bit
//   photo.bmp                          a sunset scene, 1024x1024, 24-bit
//   string.bmp, string2.bmp            caption sheets, 1024x1024, 8-bit coverage
//
// Usage: mkart DIR
// DIR is created if needed. Prints nothing on success; on failure prints one line
// "mkart: <what went wrong>" to stderr and exits 1. Lettering uses the DejaVu fonts,
// looked up in the usual system folders, or only in $MKART_FONT_DIR when that is set.
// The output is the same, byte for byte, on every run.
#include "art.h"
#include "bmp.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

struct failure {
    std::string what;
};

std::string find_font(const std::string& name)
{
    static const char* const system_dirs[] = {
        "/usr/share/fonts/truetype/dejavu",
        "/usr/share/fonts/dejavu",
        "/usr/share/fonts/TTF",
        "/usr/share/fonts/truetype/ttf-dejavu",
        "/usr/local/share/fonts/dejavu",
        "/usr/local/share/fonts",
    };
    std::vector<std::string> dirs;
    if (const char* env = std::getenv("MKART_FONT_DIR"); env && *env)
        dirs.push_back(env);
    else
        dirs.assign(std::begin(system_dirs), std::end(system_dirs));
    for (const std::string& dir : dirs) {
        const std::string path = dir + "/" + name;
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec))
            return path;
    }
    throw failure{"font " + name + " not found (install fonts-dejavu-core or set MKART_FONT_DIR)"};
}

FT_Face open_font(FT_Library library, const std::string& name)
{
    const std::string path = find_font(name);
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0)
        throw failure{"cannot load font " + path};
    return face;
}

void save24(const std::string& dir, const std::string& name, int side, const std::vector<uint8_t>& rgb)
{
    if (!write_bmp24(dir + "/" + name, side, side, rgb))
        throw failure{"cannot write " + dir + "/" + name};
}

void save8(const std::string& dir, const std::string& name, const grey_image& image)
{
    if (!write_bmp8(dir + "/" + name, image.width, image.height, image.px))
        throw failure{"cannot write " + dir + "/" + name};
}

void make_all(const std::string& dir, FT_Library library)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir, ec))
        throw failure{"cannot create directory " + dir};

    const FT_Face sans_bold = open_font(library, "DejaVuSans-Bold.ttf");
    const FT_Face serif = open_font(library, "DejaVuSerif.ttf");
    const FT_Face serif_bold = open_font(library, "DejaVuSerif-Bold.ttf");

    const double numeral_px = card_numeral_size(sans_bold);
    for (int n = 5; n >= -3; --n)
        save24(dir, std::to_string(n) + ".bmp", card_side, make_card(sans_bold, n, numeral_px));
    save24(dir, "photo.bmp", photo_side, make_photo());
    save8(dir, "string.bmp", make_caption_sheet0(serif_bold, serif));
    save8(dir, "string2.bmp", make_caption_sheet1(sans_bold));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || !*argv[1]) {
        std::fprintf(stderr, "mkart: usage: mkart DIR\n");
        return 1;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "mkart: cannot start FreeType\n");
        return 1;
    }
    int status = 0;
    try {
        make_all(argv[1], library);
    } catch (const failure& f) {
        std::fprintf(stderr, "mkart: %s\n", f.what.c_str());
        status = 1;
    }
    FT_Done_FreeType(library);  // also releases the faces
    return status;
}
