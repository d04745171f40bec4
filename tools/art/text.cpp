// text.cpp - shaping (HarfBuzz), bidi ordering (FriBidi), rendering (FreeType) and
// fitting of lettering. See text.h for the interface.
#include "text.h"

#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_STROKER_H

#include <fribidi.h>
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <numeric>

bool decode_utf8(const std::string& in, std::u32string& out)
{
    out.clear();
    for (size_t i = 0; i < in.size();) {
        const unsigned char lead = static_cast<unsigned char>(in[i]);
        int extra;
        char32_t c, min;
        if (lead < 0x80) {
            extra = 0, c = lead, min = 0;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, c = lead & 0x1F, min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, c = lead & 0x0F, min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, c = lead & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (in.size() - i <= size_t(extra))
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(in[i + size_t(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = c << 6 | (next & 0x3F);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out += c;
        i += size_t(extra) + 1;
    }
    return true;
}

namespace {

// Marks and joiners stay in the face of the character they attach to.
bool attaches(char32_t c)
{
    switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
    case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
        return true;
    default:
        return c == 0x200C || c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F);
    }
}

// A stretch of text of one bidi level, face and script, shaped on its own.
struct run {
    size_t start, end;
    int level;
    int face;  // 0: the style's face, 1: its fallback, 2...: the finder's
    hb_script_t script;
    std::vector<placed_glyph> glyphs;  // x: offset from the run's start
    double advance;                    // ems
};

// Script of every character; common and inherited characters (spaces, digits,
// punctuation, marks) take the script of the text around them.
std::vector<hb_script_t> scripts_of(const std::u32string& text)
{
    std::vector<hb_script_t> out(text.size(), HB_SCRIPT_INVALID);
    hb_script_t last = HB_SCRIPT_INVALID;
    for (size_t i = 0; i < text.size(); ++i) {
        const hb_script_t s = hb_unicode_script(hb_unicode_funcs_get_default(), text[i]);
        if (s != HB_SCRIPT_COMMON && s != HB_SCRIPT_INHERITED && s != HB_SCRIPT_UNKNOWN)
            last = s;
        out[i] = last;
    }
    const auto first = std::find_if(out.begin(), out.end(), [](hb_script_t s) { return s != HB_SCRIPT_INVALID; });
    const hb_script_t lead = first == out.end() ? HB_SCRIPT_COMMON : *first;
    for (hb_script_t& s : out)
        if (s == HB_SCRIPT_INVALID)
            s = lead;
    return out;
}

std::vector<FriBidiLevel> bidi_levels(const std::u32string& text)
{
    const FriBidiStrIndex n = FriBidiStrIndex(text.size());
    std::vector<FriBidiChar> chars(text.begin(), text.end());
    std::vector<FriBidiCharType> types(text.size());
    std::vector<FriBidiBracketType> brackets(text.size());
    std::vector<FriBidiLevel> levels(text.size(), 0);
    fribidi_get_bidi_types(chars.data(), n, types.data());
    fribidi_get_bracket_types(chars.data(), n, types.data(), brackets.data());
    FriBidiParType base = FRIBIDI_PAR_ON;  // direction from the first strong character
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &base, levels.data()) == 0)
        std::fill(levels.begin(), levels.end(), FriBidiLevel(0));
    return levels;
}

void shape(run& r, const std::u32string& text, FT_Face face, hb_font_t* font)
{
    hb_buffer_t* buffer = hb_buffer_create();
    std::vector<hb_codepoint_t> cps(text.begin(), text.end());
    hb_buffer_add_codepoints(buffer, cps.data(), int(cps.size()), unsigned(r.start), int(r.end - r.start));
    hb_buffer_set_direction(buffer, r.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, r.script);
    hb_shape(font, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    const double em = double(face->units_per_EM ? face->units_per_EM : 1000);
    double pen = 0.0;
    for (unsigned i = 0; i < count; ++i) {
        r.glyphs.push_back({face, info[i].codepoint, pen + pos[i].x_offset / em, pos[i].y_offset / em, info[i].cluster});
        pen += pos[i].x_advance / em;
    }
    r.advance = pen;
    hb_buffer_destroy(buffer);
}

// Rule L2 of the bidi algorithm on whole runs: from the highest level down to the
// lowest odd one, every stretch of runs at that level or above is reversed.
std::vector<size_t> visual_order(const std::vector<run>& runs)
{
    std::vector<size_t> order(runs.size());
    std::iota(order.begin(), order.end(), size_t(0));
    int highest = 0, lowest_odd = 1000;
    for (const run& r : runs) {
        highest = std::max(highest, r.level);
        if (r.level % 2)
            lowest_odd = std::min(lowest_odd, r.level);
    }
    for (int level = highest; level >= lowest_odd; --level)
        for (size_t i = 0; i < order.size();) {
            if (runs[order[i]].level < level) {
                ++i;
                continue;
            }
            size_t j = i;
            while (j < order.size() && runs[order[j]].level >= level)
                ++j;
            std::reverse(order.begin() + long(i), order.begin() + long(j));
            i = j;
        }
    return order;
}

long floor_div64(long v)
{
    return v >= 0 ? v / 64 : -((-v + 63) / 64);
}

}  // namespace

text_layout layout_text(const text_style& style, const std::u32string& text)
{
    text_layout out;
    if (text.empty())
        return out;
    // The chosen face, its fallback, then the finder's faces in the order found.
    std::vector<FT_Face> faces = {style.face, style.fallback};
    std::vector<int> face_of(text.size(), 0);
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (i > 0 && attaches(c) && faces[size_t(face_of[i - 1])] && FT_Get_Char_Index(faces[size_t(face_of[i - 1])], c)) {
            face_of[i] = face_of[i - 1];
            continue;
        }
        size_t f = 0;
        while (f < faces.size() && !(faces[f] && FT_Get_Char_Index(faces[f], c)))
            ++f;
        if (f == faces.size() && style.finder) {
            if (FT_Face found = style.finder(c); found && FT_Get_Char_Index(found, c))
                faces.push_back(found);
        }
        if (f < faces.size())
            face_of[i] = int(f);
        else if (out.missing.find(c) == std::u32string::npos)
            out.missing += c;
    }
    const std::vector<hb_script_t> scripts = scripts_of(text);
    const std::vector<FriBidiLevel> levels = bidi_levels(text);

    std::vector<run> runs;
    for (size_t i = 0; i < text.size(); ++i) {
        if (runs.empty() || runs.back().level != levels[i] || runs.back().face != face_of[i] ||
            runs.back().script != scripts[i])
            runs.push_back({i, i, int(levels[i]), face_of[i], scripts[i], {}, 0.0});
        runs.back().end = i + 1;
    }

    // Positions in font units at a scale of one unit per design unit.
    std::vector<hb_font_t*> fonts(faces.size(), nullptr);
    for (size_t f = 0; f < faces.size(); ++f)
        if (faces[f]) {
            hb_face_t* face = hb_ft_face_create_referenced(faces[f]);
            fonts[f] = hb_font_create(face);
            hb_face_destroy(face);
            const int upem = int(faces[f]->units_per_EM ? faces[f]->units_per_EM : 1000);
            hb_font_set_scale(fonts[f], upem, upem);
        }
    for (run& r : runs)
        shape(r, text, faces[size_t(r.face)], fonts[size_t(r.face)]);
    for (hb_font_t* f : fonts)
        if (f)
            hb_font_destroy(f);

    double pen = 0.0;
    for (size_t k : visual_order(runs)) {
        for (placed_glyph g : runs[k].glyphs) {
            g.x += pen;
            out.glyphs.push_back(g);
        }
        pen += runs[k].advance;
    }
    return out;
}

namespace {

// Adds a grey bitmap onto a canvas at (gx, gy), saturating, clipped to the canvas.
void add_bitmap(std::vector<uint8_t>& canvas, int cw, int ch, const FT_Bitmap& bm, int gx, int gy)
{
    for (int y = 0; y < int(bm.rows); ++y) {
        if (gy + y < 0 || gy + y >= ch)
            continue;
        for (int x = 0; x < int(bm.width); ++x) {
            if (gx + x < 0 || gx + x >= cw)
                continue;
            uint8_t& dst = canvas[size_t(gy + y) * size_t(cw) + size_t(gx + x)];
            dst = uint8_t(std::min(255, dst + bm.buffer[y * bm.pitch + x]));
        }
    }
}

}  // namespace

text_ink render_layout(const text_layout& layout, double pixel_size)
{
    return render_layout(layout, pixel_size, 0.0);
}

text_ink render_layout(const text_layout& layout, double pixel_size, double stroke_px)
{
    text_ink ink;
    if (layout.glyphs.empty())
        return ink;
    const long size26 = std::lround(pixel_size * 64.0);
    const double size = size26 / 64.0;

    // A canvas that holds every glyph: the glyph origins widened by each face's
    // bounding box and a pixel or two for anti-aliasing. Glyphs are added onto it as
    // they are rendered, then it is cropped to the pixels with ink.
    double x_lo = 1e300, x_hi = -1e300, y_lo = 1e300, y_hi = -1e300;  // ems, y up
    for (const placed_glyph& pg : layout.glyphs) {
        const double upem = pg.face->units_per_EM ? pg.face->units_per_EM : 1000.0;
        x_lo = std::min(x_lo, pg.x + pg.face->bbox.xMin / upem);
        x_hi = std::max(x_hi, pg.x + pg.face->bbox.xMax / upem);
        y_lo = std::min(y_lo, pg.y + pg.face->bbox.yMin / upem);
        y_hi = std::max(y_hi, pg.y + pg.face->bbox.yMax / upem);
    }
    const int pad = 3 + int(std::ceil(stroke_px));
    const int left = int(std::floor(x_lo * size)) - pad, top = -int(std::ceil(y_hi * size)) - pad;
    const int cw = int(std::ceil(x_hi * size)) + pad - left, ch = -int(std::floor(y_lo * size)) + pad - top;
    std::vector<uint8_t> canvas(size_t(cw) * size_t(ch), 0);
    std::vector<uint8_t> stroke_canvas;
    FT_Stroker stroker = nullptr;
    if (stroke_px > 0.0 && FT_Stroker_New(layout.glyphs[0].face->glyph->library, &stroker) == 0) {
        FT_Stroker_Set(stroker, FT_Fixed(std::lround(stroke_px * 64.0)), FT_STROKER_LINECAP_ROUND,
                       FT_STROKER_LINEJOIN_ROUND, 0);
        stroke_canvas.assign(canvas.size(), 0);
    }

    std::vector<FT_Face> sized;
    for (const placed_glyph& pg : layout.glyphs) {
        if (std::find(sized.begin(), sized.end(), pg.face) == sized.end()) {
            FT_Set_Char_Size(pg.face, 0, FT_F26Dot6(size26), 72, 72);
            sized.push_back(pg.face);
        }
        // The fractional part of the position goes into the glyph's own offset, so
        // that letters keep their exact spacing instead of snapping to whole pixels.
        const long x26 = std::lround(pg.x * size * 64.0), y26 = std::lround(pg.y * size * 64.0);
        FT_Vector offset;
        offset.x = x26 - floor_div64(x26) * 64;
        offset.y = y26 - floor_div64(y26) * 64;
        FT_Set_Transform(pg.face, nullptr, &offset);
        if (stroker) {
            // The outline: the glyph's contours stroked both ways, which with the
            // fill laid over it grows the letter by the stroke's radius.
            FT_Glyph glyph = nullptr;
            if (FT_Load_Glyph(pg.face, pg.index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0 &&
                pg.face->glyph->format == FT_GLYPH_FORMAT_OUTLINE && FT_Get_Glyph(pg.face->glyph, &glyph) == 0) {
                if (FT_Glyph_Stroke(&glyph, stroker, 1) == 0 &&
                    FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1) == 0) {
                    const FT_BitmapGlyph b = reinterpret_cast<FT_BitmapGlyph>(glyph);
                    if (b->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                        add_bitmap(stroke_canvas, cw, ch, b->bitmap, int(floor_div64(x26)) + b->left - left,
                                   -(int(floor_div64(y26)) + b->top) - top);
                }
                FT_Done_Glyph(glyph);
            }
        }
        if (FT_Load_Glyph(pg.face, pg.index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot slot = pg.face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0)
            continue;
        add_bitmap(canvas, cw, ch, bm, int(floor_div64(x26)) + slot->bitmap_left - left,
                   -(int(floor_div64(y26)) + slot->bitmap_top) - top);
    }
    for (FT_Face f : sized)
        FT_Set_Transform(f, nullptr, nullptr);
    if (stroker)
        FT_Stroker_Done(stroker);

    int x0 = cw, x1 = -1, y0 = ch, y1 = -1;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            if (canvas[size_t(y) * size_t(cw) + size_t(x)] ||
                (!stroke_canvas.empty() && stroke_canvas[size_t(y) * size_t(cw) + size_t(x)])) {
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
    if (!stroke_canvas.empty()) {
        ink.outline.resize(ink.coverage.size());
        for (int y = 0; y < ink.height; ++y)
            for (int x = 0; x < ink.width; ++x)
                ink.outline[size_t(y) * size_t(ink.width) + size_t(x)] =
                    stroke_canvas[size_t(y0 + y) * size_t(cw) + size_t(x0 + x)];
    }
    return ink;
}

text_ink render_text(const text_style& style, const std::u32string& text, double pixel_size)
{
    return render_layout(layout_text(style, text), pixel_size);
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

// Width and height in ems of the ink of a layout, from the glyphs' outlines in
// design units; false when it has no ink.
bool ink_extent(const text_layout& layout, double& width, double& height)
{
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (const placed_glyph& pg : layout.glyphs) {
        if (FT_Load_Glyph(pg.face, pg.index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0 ||
            pg.face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || pg.face->glyph->outline.n_points == 0)
            continue;
        FT_BBox box;
        FT_Outline_Get_CBox(&pg.face->glyph->outline, &box);
        const double upem = pg.face->units_per_EM ? pg.face->units_per_EM : 1000.0;
        x0 = std::min(x0, pg.x + box.xMin / upem);
        x1 = std::max(x1, pg.x + box.xMax / upem);
        y0 = std::min(y0, pg.y + box.yMin / upem);
        y1 = std::max(y1, pg.y + box.yMax / upem);
    }
    if (x1 < x0)
        return false;
    width = std::max(x1 - x0, 1e-6);
    height = std::max(y1 - y0, 1e-6);
    return true;
}

// Vertical room the lettering needs: its own ascent and descent, or in line mode at
// least those of the face's tallest capital and deepest descender.
void vertical_extent(const text_ink& ink, const text_layout* reference, double pixel_size, double stroke_px,
                     int& ascent, int& descent)
{
    ascent = ink.baseline;
    descent = ink.height - ink.baseline;
    if (reference) {
        const text_ink ref = render_layout(*reference, pixel_size, stroke_px);
        ascent = std::max(ascent, ref.baseline);
        descent = std::max(descent, ref.height - ref.baseline);
    }
}

}  // namespace

fitted_text fit_layout(const text_style& style, const std::u32string& text, const pixel_box& area, fit_mode mode,
                       double min_size, const text_fit_look& look)
{
    fitted_text out;
    const pixel_box inner{area.x0 + look.room.left, area.y0 + look.room.top, area.x1 - look.room.right,
                          area.y1 - look.room.bottom};
    const int avail_w = inner.x1 - inner.x0, avail_h = inner.y1 - inner.y0;
    const int grow = 2 * int(std::ceil(look.stroke_px));
    if (avail_w - grow <= 0 || avail_h - grow <= 0) {
        out.no_room = grow > 0 || look.room.left || look.room.top || look.room.right || look.room.bottom;
        return out;
    }
    // Refusals before the work: too many characters to be set at min_size, or ink
    // (in ems, from the outlines) too large for the box at min_size.
    if (min_size > 0.0 && double(text.size()) * min_size > double(avail_w) * max_chars_per_em) {
        out.size = out.fitted = double(avail_w) * max_chars_per_em / double(text.size());
        return out;
    }
    const text_layout layout = layout_text(style, text);
    if (min_size > 0.0) {
        double w = 0.0, h = 0.0;
        if (!ink_extent(layout, w, h))
            return out;
        // A pixel either side for anti-aliasing: never refuses what would fit.
        const double need = std::min((avail_w + 2.0) / w, (avail_h + 2.0) / h);
        if (need < min_size) {
            out.size = out.fitted = need;
            return out;
        }
    }
    const text_layout reference = layout_text({style.face, nullptr}, U"Hdgjpqy");
    const text_layout* ref = mode == fit_mode::line ? &reference : nullptr;
    const double stroke = look.stroke_px;

    // First guess from a trial rendering: ink scales almost linearly with size (the
    // stroke does not: it is taken off the room first).
    const double trial = 200.0;
    const text_ink probe = render_layout(layout, trial);
    if (probe.width == 0)
        return out;
    int ascent, descent;
    vertical_extent(probe, ref, trial, 0.0, ascent, descent);
    double size = trial * std::min(double(avail_w - grow) / probe.width, double(avail_h - grow) / (ascent + descent));

    // Rounding and anti-aliasing make the guess a pixel off now and then: shrink
    // until the rendered ink really fits.
    text_ink ink;
    auto fits = [&](double s) {
        ink = render_layout(layout, s, stroke);
        vertical_extent(ink, ref, s, stroke, ascent, descent);
        return ink.width <= avail_w && ascent + descent <= avail_h;
    };
    for (;;) {
        if (fits(size) || size < min_size || size < 1.0)
            break;
        size *= 0.99;
    }
    out.size = out.fitted = size;
    if (size < min_size || size < 1.0)
        return out;
    // The cap and the scale a look asks for; a scale above 1 only while it fits.
    const double wanted = (look.cap > 0.0 ? std::min(size, look.cap) : size) * look.scale;
    if (wanted != size) {
        out.size = size = wanted;
        if (!fits(size) && look.scale > 1.0) {
            out.too_large = true;
            return out;
        }
    }
    out.ink = std::move(ink);
    out.x = inner.x0 + (avail_w - out.ink.width) / 2;
    const int baseline_y = inner.y0 + (avail_h - ascent - descent) / 2 + ascent;
    out.y = baseline_y - out.ink.baseline;
    return out;
}

double fit_text(grey_image& image, const text_style& style, const std::u32string& text, const pixel_box& box,
                int margin, fit_mode mode, double min_size)
{
    const pixel_box inner{box.x0 + margin, box.y0 + margin, std::min(box.x1, image.width) - margin,
                          std::min(box.y1, image.height) - margin};
    const fitted_text f = fit_layout(style, text, inner, mode, min_size, text_fit_look{});
    if (f.ink.width > 0)
        stamp_ink(image, f.ink, f.x, f.y, inner);
    return f.size;
}
