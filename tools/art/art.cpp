// art.cpp - paints the number cards, the photo and the caption sheets. Pictures are
// painted in floating point, one layer after another, and quantised to 8 bits per
// channel at the end with a little seeded noise, so that gradients do not band.
// See art.h for the interface.
#include "art.h"
#include "art_math.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

// --- deterministic randomness -------------------------------------------------------

// SplitMix64: small, fast, and the same sequence on every machine for a given seed.
struct rng {
    uint64_t state;
};

uint64_t next_u64(rng& r)
{
    uint64_t z = (r.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double next_unit(rng& r)  // uniform in [0, 1)
{
    return double(next_u64(r) >> 11) * (1.0 / 9007199254740992.0);
}

// Lattice hash for value noise, in [0, 1).
double hash01(int x, int y, uint32_t seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h) / 4294967296.0;
}

double smooth(double t)
{
    return t * t * (3.0 - 2.0 * t);
}

double smoothstep(double e0, double e1, double x)
{
    return smooth(std::clamp((x - e0) / (e1 - e0), 0.0, 1.0));
}

double value_noise(double x, double y, uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const double tx = smooth(x - fx), ty = smooth(y - fy);
    const double a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    const double c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) * (1.0 - ty) + (c + (d - c) * tx) * ty;
}

// Fractal noise in [0, 1): octaves of value noise, each twice as fine and half as strong.
double fbm(double x, double y, uint32_t seed, int octaves)
{
    double sum = 0.0, amplitude = 0.5, norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * value_noise(x, y, seed + uint32_t(i) * 101u);
        norm += amplitude;
        amplitude *= 0.5;
        x *= 2.0;
        y *= 2.0;
    }
    return sum / norm;
}

// --- floating-point canvas ----------------------------------------------------------

struct colour {
    double r, g, b;
};

colour mix(colour a, colour b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

colour scale(colour a, double k)
{
    return {a.r * k, a.g * k, a.b * k};
}

colour add(colour a, colour b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

struct canvas {
    int width;
    int height;
    std::vector<colour> px;
};

canvas make_canvas(int width, int height, colour fill)
{
    return {width, height, std::vector<colour>(size_t(width) * size_t(height), fill)};
}

colour& at(canvas& c, int x, int y)
{
    return c.px[size_t(y) * size_t(c.width) + size_t(x)];
}

void blend(canvas& c, int x, int y, colour col, double alpha)
{
    if (x < 0 || y < 0 || x >= c.width || y >= c.height || alpha <= 0.0)
        return;
    colour& dst = at(c, x, y);
    dst = mix(dst, col, std::min(alpha, 1.0));
}

// Anti-aliased coverage of a band of half-width hw around distance 0.
double band(double distance, double hw)
{
    return std::clamp(hw + 0.5 - std::fabs(distance), 0.0, 1.0);
}

// Soft round dot, added (light) or blended (dark) by the caller's choice of colour.
void splat(canvas& c, double cx, double cy, double radius, colour col, double alpha)
{
    const int r = int(std::ceil(radius * 3.0));
    for (int y = int(cy) - r; y <= int(cy) + r; ++y)
        for (int x = int(cx) - r; x <= int(cx) + r; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            blend(c, x, y, col, alpha * art_exp(-(dx * dx + dy * dy) / (2.0 * radius * radius)));
        }
}

// To 8-bit RGB, top row first. A seeded sub-step of noise dithers the rounding.
std::vector<uint8_t> quantise(const canvas& c, uint64_t seed)
{
    rng r{seed};
    std::vector<uint8_t> out(c.px.size() * 3);
    for (size_t i = 0; i < c.px.size(); ++i) {
        const double channels[3] = {c.px[i].r, c.px[i].g, c.px[i].b};
        const double dither = next_unit(r) - 0.5;
        for (int k = 0; k < 3; ++k)
            out[i * 3 + size_t(k)] = uint8_t(std::clamp(std::lround(channels[k] * 255.0 + dither), 0L, 255L));
    }
    return out;
}

// --- number cards -------------------------------------------------------------------

// The numeral's ink. A negative number gets a true minus sign (U+2212, as heavy as
// the digit strokes) set at a fixed gap before the digit: the font's own spacing
// would leave a much wider hole before a narrow "1" than before a "2".
text_ink numeral_ink(FT_Face bold, int number, double pixel_size)
{
    const text_style style{bold, nullptr};
    const text_ink digit = render_text(style, std::u32string(1, char32_t(U'0' + std::abs(number))), pixel_size);
    if (number >= 0)
        return digit;
    const text_ink minus = render_text(style, U"\u2212", pixel_size);
    const int gap = int(std::lround(pixel_size * 0.11));
    const int ascent = std::max(minus.baseline, digit.baseline);
    const int descent = std::max(minus.height - minus.baseline, digit.height - digit.baseline);
    text_ink joined;
    joined.width = minus.width + gap + digit.width;
    joined.height = ascent + descent;
    joined.baseline = ascent;
    joined.coverage.assign(size_t(joined.width) * size_t(joined.height), 0);
    auto place = [&](const text_ink& part, int x0) {
        const int y0 = ascent - part.baseline;
        for (int y = 0; y < part.height; ++y)
            for (int x = 0; x < part.width; ++x)
                joined.coverage[size_t(y0 + y) * size_t(joined.width) + size_t(x0 + x)] =
                    part.coverage[size_t(y) * size_t(part.width) + size_t(x)];
    };
    place(minus, 0);
    place(digit, minus.width + gap);
    return joined;
}

// Numeral ink grown by radius pixels (maximum over a disc): a light halo that keeps
// the figure clear of the cross-hair and the rings behind it. The disc's weight falls
// with distance, so an inked pixel whose four neighbours are inked adds nothing the
// neighbours do not (each point of its disc is as near one of them): only the ink's
// edge is grown.
std::vector<double> halo(const text_ink& ink, int radius, int& out_w, int& out_h)
{
    out_w = ink.width + 2 * radius;
    out_h = ink.height + 2 * radius;
    std::vector<double> grown(size_t(out_w) * size_t(out_h), 0.0);
    const int side = 2 * radius + 1;
    std::vector<double> disc(size_t(side) * size_t(side));
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const double d = std::sqrt(double(dx * dx + dy * dy));
            disc[size_t(dy + radius) * size_t(side) + size_t(dx + radius)] = std::clamp(radius + 0.5 - d, 0.0, 1.0);
        }
    auto inked = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < ink.width && y < ink.height &&
               ink.coverage[size_t(y) * size_t(ink.width) + size_t(x)] >= 128;
    };
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x) {
            if (!inked(x, y))
                continue;
            if (radius >= 1 && inked(x - 1, y) && inked(x + 1, y) && inked(x, y - 1) && inked(x, y + 1))
                continue;
            for (int dy = -radius; dy <= radius; ++dy) {
                double* row = &grown[size_t(y + radius + dy) * size_t(out_w) + size_t(x)];
                const double* weights = &disc[size_t(dy + radius) * size_t(side)];
                for (int k = 0; k < side; ++k)
                    row[k] = std::max(row[k], weights[k]);
            }
        }
    return grown;
}

}  // namespace

double card_numeral_size(FT_Face bold)
{
    // One size for every card, the largest at which the widest numeral (a minus and a
    // digit) still sits inside the inner ring.
    const double u = card_side / 512.0;  // the card is drawn in units of a 512-pixel card
    const double trial = 200.0 * u, max_w = 310.0 * u, max_h = 230.0 * u;
    double size = 1e9;
    for (int n = -3; n <= 5; ++n) {
        const text_ink ink = numeral_ink(bold, n, trial);
        if (ink.width > 0)
            size = std::min(size, trial * std::min(max_w / ink.width, max_h / ink.height));
    }
    return size;
}

namespace {

// What every card shares, painted once for the nine: the paper with the swept wedge,
// cross-hair, rings and ticks, and per pixel the vignette's scale and how far the
// projector gate covers it.
struct card_ground {
    canvas dial;
    std::vector<double> vignette, gate;
};

const double card_u = card_side / 512.0;  // lengths below are in pixels of a 512-pixel card
const double card_cx = card_side / 2.0, card_cy = card_side / 2.0;
const colour card_ink{card_classic_ink[0], card_classic_ink[1], card_classic_ink[2]}, card_light{0.95, 0.95, 0.93},
    card_gate{0.05, 0.05, 0.05};

card_ground make_card_ground(colour paper)
{
    const int side = card_side;
    const double u = card_u, cx = card_cx, cy = card_cy;
    const colour shadow{0.52, 0.51, 0.50}, ink = card_ink, light = card_light;
    const double r_outer = 226.0 * u, r_white = 206.0 * u, r_inner = 196.0 * u;
    const double sweep = pi / 2.0;  // the wedge already swept by the leader's hand

    card_ground g{make_canvas(side, side, paper), std::vector<double>(size_t(side) * size_t(side)),
                  std::vector<double>(size_t(side) * size_t(side))};
    canvas& c = g.dial;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d = art_hypot(dx, dy);
            const bool in_wedge = d < r_inner + 0.5, in_ticks = d > r_outer + 6.0 * u && d < r_outer + 22.0 * u;
            // The angle only where something is drawn by it (elsewhere the wedge's
            // alpha is 0 and blending it changes nothing).
            double theta = 0.0;
            if (in_wedge || in_ticks) {
                theta = art_atan2(dx, -dy);  // clockwise from twelve o'clock
                if (theta < 0.0)
                    theta += 2.0 * pi;
            }
            if (in_wedge) {
                // Signed distance in pixels to the wedge's straight edges, positive inside.
                const double edge = theta <= sweep ? std::min(theta, sweep - theta)
                                                   : -std::min(theta - sweep, 2.0 * pi - theta);
                const double wedge = std::clamp(0.5 + edge * d, 0.0, 1.0) * std::clamp(r_inner + 0.5 - d, 0.0, 1.0);
                // Darkest just behind the hand, fading back towards twelve o'clock.
                const double depth = 0.55 + 0.45 * std::clamp(theta / sweep, 0.0, 1.0);
                blend(c, x, y, shadow, wedge * depth);
            }

            blend(c, x, y, ink, std::max(band(dx, 1.2 * u), band(dy, 1.2 * u)));  // cross-hair
            blend(c, x, y, ink, band(d - r_outer, 5.0 * u));
            blend(c, x, y, light, band(d - r_white, 3.0 * u));
            blend(c, x, y, ink, band(d - r_inner, 2.5 * u));
            // Twelve ticks outside the outer ring, like a clock face.
            if (in_ticks) {
                const double step = 2.0 * pi / 12.0;
                const double off = std::remainder(theta, step) * d;
                blend(c, x, y, ink, band(off, 1.5 * u) * std::clamp(r_outer + 22.0 * u - d, 0.0, 1.0));
            }
        }
    // The vignette, and the dark edge of the gate with rounded corners: the same
    // in the four quarters (pixel centres mirror exactly), worked out in one.
    const double inset = 5.0 * u, corner = 30.0 * u;
    for (int y = 0; y < side / 2; ++y)
        for (int x = 0; x < side / 2; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double v = art_hypot(dx, dy) / (cx * std::sqrt(2.0));
            const double qx = std::max(std::fabs(dx) - (cx - inset - corner), 0.0);
            const double qy = std::max(std::fabs(dy) - (cy - inset - corner), 0.0);
            const double outside = art_hypot(qx, qy) - corner;
            const double vignette = 1.0 - 0.38 * art_pow(v, 2.4), gate = std::clamp(0.5 + outside, 0.0, 1.0);
            for (const int my : {y, side - 1 - y})
                for (const int mx : {x, side - 1 - x}) {
                    const size_t i = size_t(my) * size_t(side) + size_t(mx);
                    g.vignette[i] = vignette;
                    g.gate[i] = gate;
                }
        }
    return g;
}

// A card of number's print in its paper and numeral colours; without its numeral
// when !with_numeral (the ground numbers without a card of their own are set on).
std::vector<uint8_t> make_card(const card_ground& ground, FT_Face bold, int number, double numeral_px,
                               colour paper, colour numeral, bool with_numeral = true)
{
    const int side = card_side;
    const double u = card_u, cx = card_cx, cy = card_cy;
    const colour light = card_light, gate = card_gate;

    canvas c = ground.dial;

    // The numeral, centred by its ink, over a halo of paper.
    const text_ink figure = with_numeral ? numeral_ink(bold, number, numeral_px) : text_ink{};
    const int fx = int(std::lround(cx - figure.width / 2.0)), fy = int(std::lround(cy - figure.height / 2.0));
    const int halo_radius = int(std::lround(7 * u));
    int hw = 0, hh = 0;
    const std::vector<double> grown = halo(figure, halo_radius, hw, hh);
    for (int y = 0; y < hh; ++y)
        for (int x = 0; x < hw; ++x)
            blend(c, fx - halo_radius + x, fy - halo_radius + y, paper, grown[size_t(y) * size_t(hw) + size_t(x)]);
    for (int y = 0; y < figure.height; ++y)
        for (int x = 0; x < figure.width; ++x)
            blend(c, fx + x, fy + y, numeral, figure.coverage[size_t(y) * size_t(figure.width) + size_t(x)] / 255.0);

    // Wear of the print: a couple of vertical scratches and some dust, different on
    // every card as on a real reel.
    rng r{0x1eade400ull + uint64_t(number + 16)};
    for (int i = 0; i < 2; ++i) {
        const double sx = 40.0 * u + next_unit(r) * (side - 80.0 * u);
        const int y0 = int(next_unit(r) * side * 0.5), y1 = y0 + int(side * (0.3 + 0.5 * next_unit(r)));
        const double wobble = next_unit(r) * 2.0 * pi;
        for (int y = y0; y < std::min(y1, side); ++y) {
            const double x = sx + 1.5 * u * art_sin(y / u * 0.02 + wobble);
            const double fade = art_sin(pi * (y - y0) / double(y1 - y0));
            const int reach = int(std::ceil(u));
            for (int px = int(x) - reach; px <= int(x) + reach; ++px)
                blend(c, px, y, light, 0.45 * fade * band(px + 0.5 - x, 0.4 * u));
        }
    }
    for (int i = 0; i < 9; ++i) {
        // Drawn one by one: the order of a call's arguments is the compiler's choice.
        const double dx = next_unit(r) * side, dy = next_unit(r) * side;
        const double alpha = 0.5 + 0.4 * next_unit(r);
        const double radius = (0.6 + 1.2 * next_unit(r)) * u;
        splat(c, dx, dy, radius, gate, alpha);
    }

    // Grain, then the vignette and the gate.
    for (size_t i = 0; i < c.px.size(); ++i) {
        colour& p = c.px[i];
        const double grain = (next_unit(r) - 0.5) * 0.06;
        p = add(p, {grain, grain, grain});
        p = scale(p, ground.vignette[i]);
        p = mix(p, gate, ground.gate[i]);
    }
    return quantise(c, 0xca4d0000ull + uint64_t(number + 16));
}

}  // namespace

namespace {

// The card's paper and numeral in a look (null: the classic look).
void card_colours(const show_look* look, colour* paper, colour* numeral)
{
    const show_look classic;
    double p[3], n[3];
    card_colours_of(look ? *look : classic, p, n);
    *paper = {p[0], p[1], p[2]};
    *numeral = {n[0], n[1], n[2]};
}

}  // namespace

struct card_shared {
    FT_Face bold;
    colour paper, numeral;
    double numeral_px;
    card_ground ground;
};

std::shared_ptr<const card_shared> make_card_shared(FT_Face bold, const show_look* look)
{
    auto shared = std::make_shared<card_shared>();
    shared->bold = bold;
    card_colours(look, &shared->paper, &shared->numeral);
    shared->numeral_px = card_numeral_size(bold);
    shared->ground = make_card_ground(shared->paper);
    return shared;
}

std::vector<uint8_t> make_card_of(const card_shared& s, int number)
{
    return make_card(s.ground, s.bold, number, s.numeral_px, s.paper, s.numeral);
}

std::vector<std::vector<uint8_t>> make_cards(FT_Face bold, const show_look* look)
{
    const auto shared = make_card_shared(bold, look);
    std::vector<std::vector<uint8_t>> cards;
    for (int n = 5; n >= -3; --n)
        cards.push_back(make_card_of(*shared, n));
    return cards;
}

std::vector<uint8_t> make_card_ground(FT_Face bold, const show_look* look)
{
    colour paper, numeral;
    card_colours(look, &paper, &numeral);
    return make_card(make_card_ground(paper), bold, 16, card_numeral_size(bold), paper, numeral, false);
}

grey_image make_numeral_atlas(FT_Face bold)
{
    grey_image atlas{numeral_atlas_width, numeral_atlas_height,
                     std::vector<uint8_t>(size_t(numeral_atlas_width) * numeral_atlas_height, 0)};
    const text_style style{bold, nullptr};
    const double trial = 100.0;
    const double px = trial * numeral_digit_h / render_text(style, U"0", trial).height;
    // The halo as wide, for the figure's size, as on the classic cards.
    const int radius = int(std::lround(7 * card_u * px / card_numeral_size(bold)));
    for (int cell = 0; cell < numeral_cells; ++cell) {
        const char32_t c = cell == numeral_minus_cell ? U'\u2212' : char32_t(U'0' + cell);
        const text_ink ink = render_text(style, std::u32string(1, c), px);
        int hw = 0, hh = 0;
        const std::vector<double> grown = halo(ink, radius, hw, hh);
        // Centred across the cell; the digits' baseline where a digit's ink is centred.
        const int x0 = cell * numeral_cell_w + (numeral_cell_w - ink.width) / 2;
        const int base = (numeral_cell_h + numeral_digit_h) / 2;
        const int y0 = base - ink.baseline;
        for (int y = 0; y < hh; ++y)
            for (int x = 0; x < hw; ++x) {
                const int ax = x0 - radius + x, ay = y0 - radius + y;
                if (ax >= cell * numeral_cell_w && ax < (cell + 1) * numeral_cell_w && ay >= 0 && ay < numeral_cell_h)
                    atlas.px[size_t(ay) * size_t(atlas.width) + size_t(ax)] =
                        uint8_t(std::lround(255 * grown[size_t(y) * size_t(hw) + size_t(x)]));
            }
        const pixel_box clip{cell * numeral_cell_w, numeral_cell_h, (cell + 1) * numeral_cell_w, 2 * numeral_cell_h};
        stamp_ink(atlas, ink, x0, numeral_cell_h + y0, clip);
    }
    return atlas;
}

// --- photo --------------------------------------------------------------------------

namespace {

constexpr double horizon = 640.0;
constexpr double sun_x = 620.0, sun_y = 626.0, sun_r = 58.0;

colour sky_gradient(double y)
{
    struct stop {
        double t;
        colour c;
    };
    static const stop stops[] = {
        {0.00, {0.04, 0.04, 0.14}}, {0.30, {0.16, 0.10, 0.32}}, {0.58, {0.62, 0.28, 0.40}},
        {0.80, {0.96, 0.52, 0.30}}, {1.00, {1.00, 0.80, 0.48}},
    };
    const double t = std::clamp(y / horizon, 0.0, 1.0);
    for (size_t i = 1; i < sizeof stops / sizeof stops[0]; ++i)
        if (t <= stops[i].t)
            return mix(stops[i - 1].c, stops[i].c, smooth((t - stops[i - 1].t) / (stops[i].t - stops[i - 1].t)));
    return stops[4].c;
}

colour sun_glow(double x, double y)
{
    const double d = art_hypot(x - sun_x, (y - sun_y) * 1.3);
    const double k = 0.50 * art_exp(-d / 90.0) + 0.22 * art_exp(-d / 320.0);
    return scale(colour{1.0, 0.60, 0.30}, k);
}

// Height above the horizon of the far mountain range at column x, in pixels: tall
// on the left, sinking to a low ridge beneath the sun, rising a little on the right.
double ridge_height(double x)
{
    const double envelope = 0.18 + 0.82 * (1.0 - smoothstep(150.0, 560.0, x)) + 0.35 * smoothstep(760.0, 1024.0, x);
    return (18.0 + 120.0 * fbm(x / 170.0, 0.5, 77u, 5)) * envelope;
}

// Top row of the dark headland in the left foreground.
double headland_top(double x)
{
    return 585.0 + 330.0 * art_pow(std::max(x, 0.0) / 470.0, 1.7) + 14.0 * (fbm(x / 40.0, 3.5, 91u, 4) - 0.5);
}

}  // namespace

std::vector<uint8_t> make_photo()
{
    // The scene is laid out on a 1024-unit square: pixel x covers units x / u to
    // (x + 1) / u, and edges are anti-aliased over one pixel.
    const int side = photo_side;
    const double u = side / 1024.0;
    canvas c = make_canvas(side, side, {0.0, 0.0, 0.0});
    const int horizon_px = int(horizon * u);

    // Sky with the sun's glow.
    for (int y = 0; y < horizon_px; ++y)
        for (int x = 0; x < side; ++x)
            at(c, x, y) = add(sky_gradient((y + 0.5) / u), sun_glow((x + 0.5) / u, (y + 0.5) / u));

    // Stars, thinning out as the sky brightens towards the horizon.
    rng r{0x57a25ull};
    for (int i = 0; i < 320; ++i) {
        const double x = next_unit(r) * side;
        const double y = art_pow(next_unit(r), 1.5) * horizon * 0.6;
        const double fade = art_pow(1.0 - y / (horizon * 0.6), 1.5);
        const double bright = (0.25 + 0.75 * art_pow(next_unit(r), 3.0)) * fade;
        splat(c, x, y * u, (0.5 + 0.7 * next_unit(r)) * u, {0.95, 0.95, 1.0}, bright);
    }

    // Long thin clouds, lit from below by the sun.
    for (int py = int(260 * u); py < int((horizon - 20) * u); ++py)
        for (int px = 0; px < side; ++px) {
            const double x = px / u, y = py / u;
            const double n = fbm(x / 300.0, y / 26.0, 13u, 5);
            const double layer = smoothstep(260.0, 360.0, y) * (1.0 - smoothstep(560.0, horizon - 20.0, y));
            const double density = smoothstep(0.52, 0.72, n) * layer;
            const double lit = smoothstep(300.0, 600.0, y) * (0.6 + 0.4 * art_exp(-std::fabs(x - sun_x) / 300.0));
            const colour cloud = mix({0.30, 0.16, 0.30}, {1.0, 0.62, 0.48}, lit);
            blend(c, px, py, cloud, density * 0.85);
        }

    // The sun, half sunk into the sea.
    for (int y = int((sun_y - sun_r) * u) - 2; y < horizon_px; ++y)
        for (int x = int((sun_x - sun_r) * u) - 2; x <= int((sun_x + sun_r) * u) + 2; ++x) {
            const double d = art_hypot((x + 0.5) / u - sun_x, (y + 0.5) / u - sun_y);
            blend(c, x, y, {1.0, 0.94, 0.74}, std::clamp((sun_r - d) * u + 0.5, 0.0, 1.0));
        }

    // Far mountains, hazy, with anti-aliased crests.
    const colour haze{0.40, 0.22, 0.38}, haze_low{0.26, 0.14, 0.28};
    for (int x = 0; x < side; ++x) {
        const double top = (horizon - ridge_height((x + 0.5) / u)) * u;  // in pixels
        for (int y = int(top); y < horizon_px; ++y) {
            const double cover = std::clamp(y + 1.0 - top, 0.0, 1.0);
            blend(c, x, y, mix(haze, haze_low, (y - top) / std::max(horizon * u - top, 1.0)), cover);
        }
    }

    // The sea mirrors the sky and the mountains, darkening towards the viewer, with
    // a broken streak of sunlight on the ripples.
    for (int py = horizon_px; py < side; ++py) {
        const double y = py / u;
        const double depth = (y + 0.5 / u - horizon) / (1024.0 - horizon);  // 0 at the horizon
        for (int px = 0; px < side; ++px) {
            const double x = px / u, xc = (px + 0.5) / u;
            const double ripple = value_noise(x / (18.0 + 90.0 * depth), y / (1.5 + 7.0 * depth), 29u);
            const double sway = (ripple - 0.5) * (6.0 + 30.0 * depth);
            const double mirror_y = horizon - (y - horizon) * 0.9;
            colour col = add(sky_gradient(mirror_y), scale(sun_glow(xc, mirror_y), 0.7));
            // The mountains' reflection, softened and a little lighter than the
            // mountains themselves, broken up by the same ripples.
            const double below = ridge_height(xc + sway) - (horizon - mirror_y);
            col = mix(col, mix(haze_low, haze, 0.5), 0.7 * smoothstep(-6.0, 6.0, below));
            col = mix(scale(col, 0.72), colour{0.04, 0.04, 0.11}, art_pow(depth, 0.6));
            col = scale(col, 0.9 + 0.2 * ripple);
            const double width = 26.0 + 150.0 * depth;
            const double streak = art_exp(-art_pow((xc - sun_x + sway) / width, 2.0));
            const double glint = smoothstep(0.5, 0.75, ripple) * streak * (1.0 - 0.55 * depth);
            col = add(col, scale(colour{1.0, 0.78, 0.48}, glint));
            at(c, px, py) = col;
        }
    }

    // Headland in the foreground, with a rim of warm light along its crest.
    const colour land{0.035, 0.022, 0.05};
    for (int x = 0; x < side; ++x) {
        const double top = headland_top((x + 0.5) / u) * u;  // in pixels
        for (int y = std::max(int(top), 0); y < side; ++y) {
            const double cover = std::clamp(y + 1.0 - top, 0.0, 1.0);
            const double rim = 0.45 * art_exp(-(y - top) / (2.5 * u)) * (1.0 - x / u / 600.0);
            blend(c, x, y, add(land, scale(colour{1.0, 0.55, 0.30}, std::max(rim, 0.0))), cover);
        }
    }

    return quantise(c, 0x9407011ull);
}

// --- caption sheets -----------------------------------------------------------------

grey_image blank_sheet()
{
    return {sheet_side, sheet_side, std::vector<uint8_t>(size_t(sheet_side) * sheet_side, 0)};
}

double set_caption(grey_image& sheet, const text_style& style, const std::u32string& text, const pixel_box& box,
                   fit_mode mode)
{
    return fit_text(sheet, style, text, box, caption_margin, mode, min_letter_px);
}
