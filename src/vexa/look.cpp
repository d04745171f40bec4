/* look.cpp - what a show document's look and photo framing change in how the
   show draws, set once by show_init (look_init) from setup->doc:

     caption sheets  a 32-bit sheet holds its own colours: drawn in white
                     (an 8-bit sheet keeps the classic grey and white)
     the bar         its frame and segments in the look's colour, the
                     whole bar laid over what is beneath by its alpha
     the numerals    of a card without its own, in the card's paper and ink
     background      behind the closing when there is no photo: a colour, or
                     a gradient from one colour to another along an angle
                     (0 degrees upward, 90 to the right), over the view
     the photo       the whole photo, of any aspect, covers the frame; the
                     focus point (0..1 from its top left) stays in view, as
                     near the frame's centre as the photo's edges allow, and
                     zoom (1..4) magnifies around it, so the photo is cropped
                     once, to the frame. A square photo at the centre and
                     zoom 1 is the classic backdrop square, exactly.

   With no document every value is the classic show's and nothing here
   changes a pixel. */
#include "vexa.h"
#include "numeral_atlas.h"

#include <algorithm>
#include <cmath>

bool my_string_rgba[2];
float my_bar_colour[4] = {1, 1, 1, 1};
float my_card_paper[3], my_card_ink[3];
int my_photo_size[2] = {1, 1};
float my_photo_fill[2] = {1, 1};
static show_background my_background;
static double my_photo_focus[2] = {0.5, 0.5};
static double my_photo_zoom = 1;

static float unit(uint8_t v)
{
    return (float)v / 255.0f;
}

void look_init(const show_doc* doc)
{
    const show_doc classic;
    if (!doc)
        doc = &classic;
    const show_colour& bar = doc->look.bar;
    my_bar_colour[0] = unit(bar.r);
    my_bar_colour[1] = unit(bar.g);
    my_bar_colour[2] = unit(bar.b);
    my_bar_colour[3] = unit(bar.a);
    double paper[3], ink[3];
    card_colours_of(doc->look, paper, ink);
    for (int k = 0; k < 3; ++k) {
        my_card_paper[k] = (float)paper[k];
        my_card_ink[k] = (float)ink[k];
    }
    my_background = doc->look.background;
    my_photo_focus[0] = std::clamp(doc->photo.focus[0], 0.0, 1.0);
    my_photo_focus[1] = std::clamp(doc->photo.focus[1], 0.0, 1.0);
    my_photo_zoom = std::clamp(doc->photo.zoom, 1.0, 4.0);
}

static void vertex_colour(const show_colour& c)
{
    glColor4f(unit(c.r), unit(c.g), unit(c.b), unit(c.a));
}

void draw_background(void)
{
    const show_background& b = my_background;
    const show_colour black;
    if (!b.gradient && b.from.r == black.r && b.from.g == black.g && b.from.b == black.b && b.from.a == black.a)
        return;  // the classic closing: the frame's own black
    const float(*v)[2] = my_stage.view;
    const double corners[4][2] = {{v[0][0], v[0][1]}, {v[1][0], v[0][1]}, {v[1][0], v[1][1]}, {v[0][0], v[1][1]}};
    // Where each corner lies along the gradient, 0 at the first colour.
    const double a = b.angle * 3.141592653589793 / 180.0, dx = std::sin(a), dy = std::cos(a);
    double along[4], lo = 1e300, hi = -1e300;
    for (int i = 0; i < 4; ++i) {
        along[i] = corners[i][0] * dx + corners[i][1] * dy;
        lo = std::min(lo, along[i]);
        hi = std::max(hi, along[i]);
    }
    glEnable(GL_BLEND);
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        const double t = b.gradient && hi > lo ? (along[i] - lo) / (hi - lo) : 0.0;
        show_colour c = b.from;
        if (b.gradient) {
            auto mix = [t](uint8_t x, uint8_t y) { return (uint8_t)std::lround(x + (y - x) * t); };
            c = {mix(b.from.r, b.to.r), mix(b.from.g, b.to.g), mix(b.from.b, b.to.b), mix(b.from.a, b.to.a)};
        }
        vertex_colour(c);
        glVertex2f((float)corners[i][0], (float)corners[i][1]);
    }
    glEnd();
    glDisable(GL_BLEND);
}

/* The world rectangle the photo fills and the part of the texture shown there.
   Classic: the backdrop square, the whole texture. */
void photo_frame(float pos[2][2], float tex[2][2])
{
    const float(*b)[2] = my_stage.backdrop;
    const int* size = my_photo_size;
    const float* fill = my_photo_fill;
    if (size[0] == size[1] && fill[0] == 1 && fill[1] == 1 && my_photo_focus[0] == 0.5 &&
        my_photo_focus[1] == 0.5 && my_photo_zoom == 1) {
        pos[0][0] = b[0][0], pos[0][1] = b[0][1], pos[1][0] = b[1][0], pos[1][1] = b[1][1];
        tex[0][0] = 0, tex[0][1] = 0, tex[1][0] = 1, tex[1][1] = 1;
        return;
    }
    // The frame's part of the backdrop square.
    const float(*v)[2] = my_stage.view;
    for (int k = 0; k < 2; ++k) {
        pos[0][k] = std::max(v[0][k], b[0][k]);
        pos[1][k] = std::min(v[1][k], b[1][k]);
    }
    const double rw = pos[1][0] - pos[0][0], rh = pos[1][1] - pos[0][1];
    const double photo = (double)size[0] / size[1], frame = rw / rh;
    // The fraction of the photo's width and height in view.
    double fw = photo > frame ? frame / photo : 1.0, fh = photo > frame ? 1.0 : photo / frame;
    fw /= my_photo_zoom;
    fh /= my_photo_zoom;
    const double x0 = std::clamp(my_photo_focus[0] - fw / 2, 0.0, 1.0 - fw);
    const double y0 = std::clamp(my_photo_focus[1] - fh / 2, 0.0, 1.0 - fh);
    // Texture rows run from the photo's bottom row up.
    tex[0][0] = (float)(x0 * fill[0]);
    tex[1][0] = (float)((x0 + fw) * fill[0]);
    tex[0][1] = (float)((1 - y0 - fh) * fill[1]);
    tex[1][1] = (float)((1 - y0) * fill[1]);
}
