/* stage.cpp - see stage.h.

   The adapted stage is worked out in three steps:
   1. The view: the 4:3 composition (1024 x 768 world units around the
      centre (512, 512)) grown in one direction to the frame's shape, so a
      16:9 frame sees 1365 x 768 units, a 9:16 one 1024 x 1820.
   2. The elements that cover: the backdrop is the square around the centre
      that covers the view; the card covers the view less the classic
      10-unit edge, but no larger than keeps its numeral inside the view
      with a margin, and no smaller than fits the view.
   3. The elements that are placed: the bar and the captions centred, as
      large as fits with a margin (at most 1.25 times their classic size,
      which the artwork's resolution allows), and the strips' scatter
      rectangle inset from the view. These are blended with their classic
      places by how far the aspect is from 4:3 (fully designed at 16:9 and
      1:1 and beyond), so the picture changes smoothly with the aspect.
   4. Tall frames (narrower than 1:1, fully at 9:16 and beyond) are laid
      out for a phone held upright: the card is the classic one across the
      width, its ring whole, on paper above and below; the captions rise to
      the upper third; the strips are scattered below them, each kept
      wholly under them, and drawn 4/3 as large, so that their letters
      have as many pixels as in a 16:9 frame of the same short side. This
      too is blended in, from none at 1:1. */
#include "stage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

static void set_rect(float r[2][2], double x0, double y0, double x1, double y1)
{
    r[0][0] = (float)x0;
    r[0][1] = (float)y0;
    r[1][0] = (float)x1;
    r[1][1] = (float)y1;
}

/* The classic picture across a viewport of width x height pixels. */
static void classic(stage* s, int width, int height)
{
    const float a = (float)height / (float)width;
    s->frustum[0] = -1;
    s->frustum[1] = 1;
    s->frustum[2] = -a;
    s->frustum[3] = a;
    set_rect(s->view, 0, 512 - 512 * (double)a, 1024, 512 + 512 * (double)a);
    set_rect(s->backdrop, 0, 0, 1024, 1024);
    set_rect(s->card, 10, 10, 1014, 1014);
    s->card_fill = false;
    s->bar = {1, 0, 0};
    s->caption[0] = s->caption[1] = {1, 0, 0};
    set_rect(s->strips, 256, 256, 768, 768);
    s->strip_k = 1;
    s->strips_under = 0;
}

/* The largest rectangle of aspect num:den inside width x height, centred. */
static void fit_rect(int out[4], int width, int height, int64_t num, int64_t den)
{
    const bool wide = (int64_t)width * den >= (int64_t)height * num;
    out[2] = wide ? (int)(((int64_t)height * num * 2 + den) / (den * 2)) : width;
    out[3] = wide ? height : (int)(((int64_t)width * den * 2 + num) / (num * 2));
    out[2] = std::max(out[2], 1);
    out[3] = std::max(out[3], 1);
    out[0] = (width - out[2]) / 2;
    out[1] = (height - out[3]) / 2;
}

static placement blend(placement designed, double w)
{
    return {(float)(1 + (designed.k - 1) * w), (float)(designed.dx * w), (float)(designed.dy * w)};
}

/* Scale k about the classic centre (cx, cy), moved to the view's centre. */
static placement centred(double k, double cx, double cy)
{
    return {(float)k, (float)(512 - cx * k), (float)(512 - cy * k)};
}

/* 0 at far = 0, 1 at far = 1, flat at both ends. */
static double smooth(double far)
{
    return far * far * (3 - 2 * far);
}

static void adapt(stage* s, int width, int height)
{
    const double aspect = (double)width / height;
    // How far a tall frame is toward 9:16, 0 at 1:1 and wider (4.).
    const double tall = smooth(std::clamp(std::log(1 / aspect) / std::log(16.0 / 9.0), 0.0, 1.0));
    // 1. The view.
    const double vw = aspect >= 4.0 / 3.0 ? 768.0 * width / height : 1024.0;
    const double vh = aspect >= 4.0 / 3.0 ? 768.0 : 1024.0 * height / width;
    const double x0 = 512 - vw / 2, y0 = 512 - vh / 2;
    s->frustum[0] = (float)((x0 - 512) / 512);
    s->frustum[1] = (float)(vw / 2 / 512);
    s->frustum[2] = (float)((y0 - 512) / 512);
    s->frustum[3] = (float)(vh / 2 / 512);
    set_rect(s->view, x0, y0, x0 + vw, y0 + vh);

    // 2. Backdrop and card.
    const double side = std::max(vw, vh);
    set_rect(s->backdrop, 512 - side / 2, 512 - side / 2, 512 + side / 2, 512 + side / 2);
    const double margin = 0.06 * std::min(vw, vh);
    const double fit = std::min(vw, vh) - 20, cover = aspect < 1 ? fit : side - 20;
    const double numeral = std::min((vw - 2 * margin) / card_numeral_width, (vh - 2 * margin) / card_numeral_height);
    const double card = std::clamp(numeral, fit, cover);
    set_rect(s->card, 512 - card / 2, 512 - card / 2, 512 + card / 2, 512 + card / 2);
    s->card_fill = vw - card > 20.5 || vh - card > 20.5;

    // 3. Bar, captions and strips, blended with the classic places.
    const double far = std::min(std::fabs(std::log(aspect * 0.75)) / std::log(4.0 / 3.0), 1.0);
    const double w = smooth(far);
    const double most = 1.25;
    // The bar's frame spans x 242-782, y 276-492; the captions' boxes x
    // 328-693 and 312-1008, together y 176-644.
    const double bar_k = std::min({(vw - 2 * margin) / 540, (vh - 2 * margin) / 216, most});
    s->bar = blend(centred(bar_k, 512, 384), w);
    const double caption_k = std::min({(vw - 2 * margin) / 696, (vh - 2 * margin) / 468, most});
    s->caption[0] = blend(centred(caption_k, (328 + 693) / 2.0, 410), w);
    s->caption[1] = blend(centred(caption_k, (312 + 1008) / 2.0, 410), w);
    const double inset = 0.2 * std::min(vw, vh);
    double strips_top = 768 + (y0 + vh - inset - 768) * w;
    if (tall > 0) {
        // The captions' middle (410 classically) to two thirds up the view;
        // the strips' scatter ends a margin under the second caption.
        const double rise = (y0 + vh * 2 / 3 - (410 * s->caption[0].k + s->caption[0].dy)) * tall;
        s->caption[0].dy = (float)(s->caption[0].dy + rise);
        s->caption[1].dy = (float)(s->caption[1].dy + rise);
        const double under = 176 * s->caption[1].k + s->caption[1].dy - margin;
        strips_top += (under - strips_top) * tall;
    }
    set_rect(s->strips, 256 + (x0 + inset - 256) * w, 256 + (y0 + inset - 256) * w,
             768 + (x0 + vw - inset - 768) * w, strips_top);
    s->strip_k = (float)(1 + tall / 3);
    s->strips_under = (float)tall;
}

stage stage_for(int width, int height, stage_mode mode)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    stage s{};
    s.viewport[2] = width;
    s.viewport[3] = height;
    if (mode == stage_fit)
        fit_rect(s.viewport, width, height, 4, 3);
    else if (mode == stage_adapt && (double)width / height > stage_max_aspect)
        fit_rect(s.viewport, width, height, 21, 9);
    else if (mode == stage_adapt && (double)width / height < stage_min_aspect)
        fit_rect(s.viewport, width, height, 9, 21);
    s.clipped = s.viewport[2] != width || s.viewport[3] != height;
    const int w = s.viewport[2], h = s.viewport[3];
    if (mode == stage_adapt && (int64_t)w * 3 != (int64_t)h * 4)
        adapt(&s, w, h);
    else
        classic(&s, w, h);
    return s;
}
