/* closing.cpp - the closing sequence and its layout; its times come from the
   show's timeline (show_timeline.h), classically show time 9000 to 15999 ms:

     9000   the photo backdrop at full brightness (or black without it)
     10000  the photo dimmed to half; the first caption in grey
     11000  the second caption in white
     11600  caption strips pop in, one every 100 ms, at random places, sizes
            and angles: strips 0 to 6 (strip 7 is laid out but never shown)
     13000  the strips are thrown outward, upward and toward the viewer,
            tumbling, and fall
     14000  fade to black along a quarter sine, almost black at 15999

   A closing of another length moves these as the timeline says; with
   credits, the roll (credits.cpp) starts 1000 ms after the throw and takes
   the captions up with it, and the fade follows the roll.

   The layout is prepared once at start, by show_init after the images have
   loaded: layout_captions, then layout_strips with the host's seed, in the
   classic picture's coordinates; each frame carries it to the frame's stage
   (stage.h): the backdrop covers the view, the captions are placed, and the
   strips' resting centres are mapped from the classic square 256-768 onto
   the stage's scatter rectangle, so the scatter depends on the seed alone.
   Every
   frame is then a pure function of show time, so seeking back from the
   flight restores the resting layout exactly. */
#include "vexa.h"
#include "sys.h"
#include "tool.h"

#include <algorithm>
#include <cmath>

float my_string_fin_pos[2][2];
float my_string_fin_tex[2][2];
float my_string_soredake_pos[2][2];
float my_string_soredake_tex[2][2];
float my_string2_strings_pos[8][2][2];
float my_string2_strings_tex[8][2][2];
float my_string2_strings_angle[8];
float my_string2_strings_base[8][2];

void layout_captions(void)
{
    bmp2pos(my_string_fin_pos, my_string_fin_bmp, caption_sheet_size);
    pos2tex(my_string_fin_tex, my_string_fin_pos, caption_sheet_size);
    bmp2pos(my_string_soredake_pos, my_string_soredake_bmp, caption_sheet_size);
    pos2tex(my_string_soredake_tex, my_string_soredake_pos, caption_sheet_size);
}

/* A fraction from 0 to 1 inclusive. */
static float random_unit(void)
{
    return (float)sys_rand() / 32767.0f;
}

void layout_strips(uint32_t seed)
{
    sys_srand(seed);
    for (int i = 0; i < 8; ++i) {
        float (*pos)[2] = my_string2_strings_pos[i];
        bmp2pos(pos, my_string2_strings_bmp[i], caption_sheet_size);
        pos2tex(my_string2_strings_tex[i], pos, caption_sheet_size);
        const float w = pos[1][0] - pos[0][0];
        const float h = pos[1][1] - pos[0][1];
        // Centre the strip on the origin at a scale of 0.25 to 0.75.
        const float s = random_unit() * 0.5f + 0.25f;
        pos[1][0] = w * (s * 0.5f);
        pos[1][1] = h * (s * 0.5f);
        pos[0][0] = -pos[1][0];
        pos[0][1] = -pos[1][1];
        my_string2_strings_angle[i] = random_unit() * 360.0f;
        my_string2_strings_base[i][0] = random_unit() * 512.0f + 256.0f;
        my_string2_strings_base[i][1] = random_unit() * 512.0f + 256.0f;
    }
}

/* The throw: strips fly away from (512, 256) at 256 units per second, up
   and toward the viewer, fall 313.6 u^2 units and tumble half a turn per
   second about an axis in the picture plane across their flight. */
static void fly(const float base[2], float u)
{
    // Thrown from the middle of the scatter's lower edge: (512, 256) classically.
    const float(*r)[2] = my_stage.strips;
    const float from[3] = {base[0] - (r[0][0] + r[1][0]) * 0.5f, base[1] - r[0][1], 128.0f};
    float dir[3];
    normalize(dir, from);
    float d[3] = {dir[0], dir[1], dir[2]};
    multiply(d, u * 256.0f);
    d[1] = d[1] - (float)((double)u * u * 9.8 * 32);
    glTranslatef(d[0], d[1], d[2]);
    const float toward[3] = {0, 0, 1};
    float axis[3];
    crossproduct(axis, dir, toward);
    glTranslatef(base[0], base[1], 0);
    glRotatef(u * 360.0f * 0.5f, axis[0], axis[1], axis[2]);
}

/* Half the height strip i covers at rest, turned by its angle, at the stage's size. */
static float strip_half_height(int i)
{
    const double a = (double)my_string2_strings_angle[i] * 3.141592653589793 / 180.0;
    const float(*pos)[2] = my_string2_strings_pos[i];
    return (float)(std::fabs(pos[1][0] * std::sin(a)) + std::fabs(pos[1][1] * std::cos(a))) * my_stage.strip_k;
}

void strip_rest(int i, float base[2])
{
    float r[2][2] = {{my_stage.strips[0][0], my_stage.strips[0][1]}, {my_stage.strips[1][0], my_stage.strips[1][1]}};
    if (my_stage.strips_under > 0) {  // the strip's top edge under the scatter's
        r[1][1] -= my_stage.strips_under * strip_half_height(i);
        r[0][1] = std::min(r[0][1], r[1][1]);
    }
    for (int a = 0; a < 2; ++a)
        base[a] = r[0][a] + (my_string2_strings_base[i][a] - 256.0f) / 512.0f * (r[1][a] - r[0][a]);
}

static void draw_strips(uint32_t t)
{
    const show_timeline& tl = my_timeline;
    for (uint32_t i = 0; i < show_strip_count && t >= tl.strip_ms[i]; ++i) {
        float base[2];
        strip_rest((int)i, base);
        glPushMatrix();
        if (t >= tl.throw_ms)
            fly(base, (float)(t - tl.throw_ms) / 1000.0f);  // seconds since the throw
        else
            glTranslatef(base[0], base[1], 0);
        glRotatef(my_string2_strings_angle[i], 0, 0, 1);
        if (my_stage.strip_k != 1)
            glScalef(my_stage.strip_k, my_stage.strip_k, 1);
        glColor4f(1, 1, 1, 1);
        texbox2(my_string2_strings_pos[i], my_string2_strings_tex[i]);
        glPopMatrix();
    }
}

/* The backdrop's square, which covers the view: the photo, and the boxes
   that dim and fade it. */
static void backdrop_box(void)
{
    const float(*b)[2] = my_stage.backdrop;
    box(b[0][0], b[0][1], b[1][0], b[1][1]);
}

static void fade(uint32_t t)
{
    const float u = (float)(t - my_timeline.fade_ms) / (float)my_timeline.fade_length_ms;
    const float a = (float)std::sin((double)u * 3.141592653589793 * 0.5);
    glColor4f(0, 0, 0, a);
    if (my_overlay)  // colour and coverage both scaled by 1 - a: fades to nothing
        glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_ALPHA);
    backdrop_box();
}

static void caption(int i, const float pos[2][2], const float tex[2][2], float rise)
{
    glPushMatrix();
    if (rise != 0)
        glTranslatef(0, rise, 0);
    place(my_stage.caption[i]);
    texbox2(pos, tex);
    glPopMatrix();
}

void draw_closing(uint32_t t)
{
    if (my_photo) {
        float pos[2][2], tex[2][2];
        photo_frame(pos, tex);
        glBindTexture(GL_TEXTURE_2D, my_tex_photo);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        texbox2(pos, tex);
        glDisable(GL_TEXTURE_2D);
    } else {
        draw_background();
    }
    const show_timeline& tl = my_timeline;
    if (t < tl.captions_ms)
        return;  // the first second shows only the photo, or black
    glEnable(GL_BLEND);
    if (my_photo) {
        glColor4f(0, 0, 0, 0.5f);
        backdrop_box();  // dim the photo to half
    }
    glBindTexture(GL_TEXTURE_2D, my_tex_string[0]);
    glEnable(GL_TEXTURE_2D);
    const float rise = roll_rise(t);  // the captions head the credits roll
    if (my_string_rgba[0])
        glColor4f(1, 1, 1, 1);  // the sheet's own colours
    else
        glColor4f(0.8f, 0.8f, 0.8f, 1);
    caption(0, my_string_fin_pos, my_string_fin_tex, rise);
    if (t >= tl.second_caption_ms) {
        glColor4f(1, 1, 1, 1);
        caption(1, my_string_soredake_pos, my_string_soredake_tex, rise);
    }
    glBindTexture(GL_TEXTURE_2D, my_tex_string[1]);
    draw_strips(t);
    if (t >= tl.roll_ms)
        draw_credits(t);
    glDisable(GL_TEXTURE_2D);
    if (t >= tl.fade_ms && t <= tl.last_ms)
        fade(t);
    glDisable(GL_BLEND);
}
