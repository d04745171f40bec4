// text.cpp - FreeType rendering of strings into coverage images and fitting them
// into boxes. See text.h for the interface.
#include "text.h"

#include FT_GLYPH_H

#include <algorithm>
#include <cmath>

namespace {

struct glyph_bitmap {
    int left;  // pixel column of the bitmap's left edge, relative to the text origin
    int top;   // pixel row of the bitmap's top edge, relative to the baseline (down positive)
    int width;
    int height;
    std::vector<uint8_t> coverage;
};

}  // namespace

text_ink render_text(FT_Face face, const std::u32string& text, double pixel_size, double x_stretch)
{
    FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(pixel_size * 64.0)), 72, 72);
    const bool kerning = FT_HAS_KERNING(face);

    std::vector<glyph_bitmap> glyphs;
    FT_Pos pen = 0;  // 26.6 pixels
    FT_UInt previous = 0;
    FT_Matrix matrix;
    matrix.xx = FT_Fixed(std::lround(x_stretch * 65536.0));
    matrix.xy = 0;
    matrix.yx = 0;
    matrix.yy = 0x10000;

    for (char32_t c : text) {
        const FT_UInt index = FT_Get_Char_Index(face, FT_ULong(c));
        if (kerning && previous && index) {
            FT_Vector delta;
            if (FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &delta) == 0)
                pen += FT_Pos(std::lround(double(delta.x) * x_stretch));
        }
        previous = index;

        // The fractional part of the pen goes into the glyph's own offset, so that
        // letters keep their exact spacing instead of snapping to whole pixels.
        FT_Vector offset;
        offset.x = pen & 63;
        offset.y = 0;
        FT_Set_Transform(face, &matrix, &offset);
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        glyph_bitmap g;
        g.left = int(pen >> 6) + slot->bitmap_left;
        g.top = -slot->bitmap_top;
        g.width = int(bm.width);
        g.height = int(bm.rows);
        g.coverage.resize(size_t(g.width) * size_t(g.height));
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                g.coverage[size_t(y) * size_t(g.width) + size_t(x)] = bm.buffer[y * bm.pitch + x];
        if (g.width > 0 && g.height > 0)
            glyphs.push_back(std::move(g));
        pen += slot->advance.x;
    }
    FT_Set_Transform(face, nullptr, nullptr);

    // Lay all glyph bitmaps onto one canvas, then crop it to the pixels with ink.
    text_ink ink;
    if (glyphs.empty())
        return ink;
    int left = glyphs[0].left, right = left, top = glyphs[0].top, bottom = top;
    for (const glyph_bitmap& g : glyphs) {
        left = std::min(left, g.left);
        right = std::max(right, g.left + g.width);
        top = std::min(top, g.top);
        bottom = std::max(bottom, g.top + g.height);
    }
    const int cw = right - left, ch = bottom - top;
    std::vector<uint8_t> canvas(size_t(cw) * size_t(ch), 0);
    for (const glyph_bitmap& g : glyphs)
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) {
                uint8_t& dst = canvas[size_t(g.top - top + y) * size_t(cw) + size_t(g.left - left + x)];
                dst = uint8_t(std::min(255, dst + g.coverage[size_t(y) * size_t(g.width) + size_t(x)]));
            }

    int x0 = cw, x1 = -1, y0 = ch, y1 = -1;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            if (canvas[size_t(y) * size_t(cw) + size_t(x)]) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return ink;
    ink.width = x1 - x0 + 1;
    ink.height = y1 - y0 + 1;
    ink.baseline = -top - y0;
    ink.coverage.resize(size_t(ink.width) * size_t(ink.height));
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x)
            ink.coverage[size_t(y) * size_t(ink.width) + size_t(x)] = canvas[size_t(y0 + y) * size_t(cw) + size_t(x0 + x)];
    return ink;
}

void stamp_ink(grey_image& image, const text_ink& ink, int x, int y, const pixel_box& clip)
{
    const int cx0 = std::max(0, clip.x0), cy0 = std::max(0, clip.y0);
    const int cx1 = std::min(image.width, clip.x1), cy1 = std::min(image.height, clip.y1);
    for (int iy = 0; iy < ink.height; ++iy) {
        const int py = y + iy;
        if (py < cy0 || py >= cy1)
            continue;
        for (int ix = 0; ix < ink.width; ++ix) {
            const int px = x + ix;
            if (px < cx0 || px >= cx1)
                continue;
            uint8_t& dst = image.px[size_t(py) * size_t(image.width) + size_t(px)];
            dst = uint8_t(std::min(255, dst + ink.coverage[size_t(iy) * size_t(ink.width) + size_t(ix)]));
        }
    }
}

namespace {

// Vertical room the lettering needs: its own ascent and descent, or in line mode at
// least those of the tallest capital and the deepest descender.
void vertical_extent(FT_Face face, const text_ink& ink, double pixel_size, double stretch, fit_mode mode,
                     int& ascent, int& descent)
{
    ascent = ink.baseline;
    descent = ink.height - ink.baseline;
    if (mode == fit_mode::line) {
        const text_ink ref = render_text(face, U"Hdgjpqy", pixel_size, stretch);
        ascent = std::max(ascent, ref.baseline);
        descent = std::max(descent, ref.height - ref.baseline);
    }
}

}  // namespace

int fit_text(grey_image& image, FT_Face face, const std::u32string& text, const pixel_box& box,
             int margin, fit_mode mode, double min_stretch, double max_stretch)
{
    const pixel_box inner{box.x0 + margin, box.y0 + margin, std::min(box.x1, image.width) - margin,
                          std::min(box.y1, image.height) - margin};
    const int avail_w = inner.x1 - inner.x0, avail_h = inner.y1 - inner.y0;
    if (avail_w <= 0 || avail_h <= 0)
        return 0;

    // First guess from a trial rendering: ink scales almost linearly with size.
    const double trial = 200.0;
    const text_ink probe = render_text(face, text, trial, 1.0);
    if (probe.width == 0)
        return 0;
    int ascent, descent;
    vertical_extent(face, probe, trial, 1.0, mode, ascent, descent);
    double size = trial * avail_h / double(ascent + descent);
    const double natural_w = probe.width * size / trial;
    double stretch = std::clamp(avail_w / natural_w, min_stretch, max_stretch);
    if (natural_w * stretch > avail_w)
        size *= avail_w / (natural_w * stretch);

    // Rounding and anti-aliasing make the guess a pixel off now and then: shrink
    // until the rendered ink really fits.
    text_ink ink;
    for (int attempt = 0; attempt < 100; ++attempt) {
        ink = render_text(face, text, size, stretch);
        vertical_extent(face, ink, size, stretch, mode, ascent, descent);
        if (ink.width <= avail_w && ascent + descent <= avail_h)
            break;
        size *= 0.99;
    }

    const int x = inner.x0 + (avail_w - ink.width) / 2;
    const int baseline_y = inner.y0 + (avail_h - ascent - descent) / 2 + ascent;
    stamp_ink(image, ink, x, baseline_y - ink.baseline, inner);

    int inked = 0;
    for (uint8_t c : ink.coverage)
        inked += c != 0;
    return inked;
}
