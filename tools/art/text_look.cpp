// text_look.cpp - the styled text painter: box, shadow, outline and letters
// composited in premultiplied floating point over the text's own region, then
// stored with straight alpha. See text_look.h for the interface.
#include "text_look.h"

#include <algorithm>
#include <cmath>

rgba_image blank_rgba(int width, int height)
{
    return {width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 4, 0)};
}

namespace {

struct shadow_px {
    int dx, dy, blur;
};

shadow_px shadow_of(const show_text_look& look, double unit_px)
{
    if (!look.shadow.on)
        return {0, 0, 0};
    return {int(std::lround(look.shadow.dx * unit_px)), int(std::lround(look.shadow.dy * unit_px)),
            int(std::lround(look.shadow.blur * unit_px))};
}

// Three passes of a running box average along rows (step 1) or columns (step
// width), radius r each: close to a Gaussian, the spread about 3r.
void box_blur(std::vector<float>& v, int width, int height, int r, bool rows)
{
    if (r <= 0)
        return;
    const int n = rows ? width : height, lines = rows ? height : width;
    const size_t step = rows ? 1 : size_t(width);
    std::vector<float> line = std::vector<float>(size_t(n)), out = std::vector<float>(size_t(n));
    for (int l = 0; l < lines; ++l) {
        const size_t start = rows ? size_t(l) * size_t(width) : size_t(l);
        for (int i = 0; i < n; ++i)
            line[size_t(i)] = v[start + size_t(i) * step];
        for (int pass = 0; pass < 3; ++pass) {
            double sum = 0.0;
            for (int i = -r; i <= r; ++i)
                sum += i >= 0 && i < n ? line[size_t(i)] : 0.0f;
            for (int i = 0; i < n; ++i) {
                out[size_t(i)] = float(sum / (2 * r + 1));
                const int add = i + r + 1, drop = i - r;
                if (add < n)
                    sum += line[size_t(add)];
                if (drop >= 0)
                    sum -= line[size_t(drop)];
            }
            line.swap(out);
        }
        for (int i = 0; i < n; ++i)
            v[start + size_t(i) * step] = line[size_t(i)];
    }
}

struct premul {
    float r, g, b, a;
};

// src (colour c at coverage k) over dst, premultiplied.
void over(premul& dst, show_colour c, float k)
{
    const float a = k * float(c.a) / 255.0f;
    if (a <= 0.0f)
        return;
    dst.r = float(c.r) / 255.0f * a + dst.r * (1 - a);
    dst.g = float(c.g) / 255.0f * a + dst.g * (1 - a);
    dst.b = float(c.b) / 255.0f * a + dst.b * (1 - a);
    dst.a = a + dst.a * (1 - a);
}

}  // namespace

text_fit_look fit_look_of(const show_text_look& look, double unit_px)
{
    text_fit_look fit;
    fit.stroke_px = look.outline.width * unit_px;
    fit.scale = look.size;
    const shadow_px s = shadow_of(look, unit_px);
    // The shadow's blur reaches about its radius past the offset letters.
    fit.room.left = std::max(0, s.blur - s.dx);
    fit.room.right = std::max(0, s.blur + s.dx);
    fit.room.top = std::max(0, s.blur - s.dy);
    fit.room.bottom = std::max(0, s.blur + s.dy);
    if (look.has_box) {
        const int m = int(std::lround(look_box_margin * unit_px));
        fit.room.left = std::max(fit.room.left, m);
        fit.room.right = std::max(fit.room.right, m);
        fit.room.top = std::max(fit.room.top, m);
        fit.room.bottom = std::max(fit.room.bottom, m);
    }
    return fit;
}

void paint_styled(rgba_image& sheet, const fitted_text& f, const show_text_look& look, show_colour classic,
                  double unit_px, const pixel_box& clip)
{
    const text_ink& ink = f.ink;
    if (ink.width <= 0)
        return;
    const text_room room = fit_look_of(look, unit_px).room;
    // The region painted: the ink and the room around it, inside clip and the sheet.
    const int x0 = std::max({f.x - room.left, clip.x0, 0}), y0 = std::max({f.y - room.top, clip.y0, 0});
    const int x1 = std::min({f.x + ink.width + room.right, clip.x1, sheet.width});
    const int y1 = std::min({f.y + ink.height + room.bottom, clip.y1, sheet.height});
    if (x1 <= x0 || y1 <= y0)
        return;
    const int w = x1 - x0, h = y1 - y0;
    auto ink_at = [&](const std::vector<uint8_t>& plane, int x, int y) {  // region coordinates
        const int ix = x + x0 - f.x, iy = y + y0 - f.y;
        if (plane.empty() || ix < 0 || iy < 0 || ix >= ink.width || iy >= ink.height)
            return 0.0f;
        return float(plane[size_t(iy) * size_t(ink.width) + size_t(ix)]) / 255.0f;
    };
    std::vector<premul> layer(size_t(w) * size_t(h), premul{0, 0, 0, 0});

    if (look.has_box) {
        const int m = int(std::lround(look_box_margin * unit_px));
        const shadow_px s = shadow_of(look, unit_px);
        // Around the letters and their shadow, with the margin.
        const int bx0 = f.x - m + std::min(0, s.dx - s.blur), by0 = f.y - m + std::min(0, s.dy - s.blur);
        const int bx1 = f.x + ink.width + m + std::max(0, s.dx + s.blur);
        const int by1 = f.y + ink.height + m + std::max(0, s.dy + s.blur);
        for (int y = std::max(by0, y0); y < std::min(by1, y1); ++y)
            for (int x = std::max(bx0, x0); x < std::min(bx1, x1); ++x)
                over(layer[size_t(y - y0) * size_t(w) + size_t(x - x0)], look.box, 1.0f);
    }
    if (look.shadow.on) {
        const shadow_px s = shadow_of(look, unit_px);
        std::vector<float> shape(size_t(w) * size_t(h), 0.0f);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                shape[size_t(y) * size_t(w) + size_t(x)] =
                    std::max(ink_at(ink.coverage, x - s.dx, y - s.dy), ink_at(ink.outline, x - s.dx, y - s.dy));
        const int r = (s.blur + 2) / 3;
        box_blur(shape, w, h, r, true);
        box_blur(shape, w, h, r, false);
        for (size_t i = 0; i < shape.size(); ++i)
            over(layer[i], look.shadow.colour, std::min(shape[i], 1.0f));
    }
    const show_colour fill = look.has_colour ? look.colour : classic;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            premul& p = layer[size_t(y) * size_t(w) + size_t(x)];
            if (!ink.outline.empty())
                over(p, look.outline.colour, ink_at(ink.outline, x, y));
            over(p, fill, ink_at(ink.coverage, x, y));
            uint8_t* q = &sheet.px[(size_t(y + y0) * size_t(sheet.width) + size_t(x + x0)) * 4];
            if (p.a <= 0.0f)
                continue;
            q[0] = uint8_t(std::lround(std::clamp(p.r / p.a, 0.0f, 1.0f) * 255.0f));
            q[1] = uint8_t(std::lround(std::clamp(p.g / p.a, 0.0f, 1.0f) * 255.0f));
            q[2] = uint8_t(std::lround(std::clamp(p.b / p.a, 0.0f, 1.0f) * 255.0f));
            q[3] = uint8_t(std::lround(std::clamp(p.a, 0.0f, 1.0f) * 255.0f));
        }
}

void finish_rgba(rgba_image& sheet)
{
    const int w = sheet.width, h = sheet.height;
    const std::vector<uint8_t> src = sheet.px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* q = &sheet.px[(size_t(y) * size_t(w) + size_t(x)) * 4];
            if (q[3] != 0)
                continue;
            unsigned sum[3] = {0, 0, 0}, weight = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                        continue;
                    const uint8_t* n = &src[(size_t(ny) * size_t(w) + size_t(nx)) * 4];
                    for (int k = 0; k < 3; ++k)
                        sum[k] += unsigned(n[k]) * n[3];
                    weight += n[3];
                }
            if (weight)
                for (int k = 0; k < 3; ++k)
                    q[k] = uint8_t((sum[k] + weight / 2) / weight);
        }
}
