/* countdown.cpp - the countdown leader, show time 0 up to the timeline's
   closing_ms (classically 0 to 8999 ms).

   Every count looks the same (classically a second each, 5, 4, ... 0, -1,
   -2, -3): with the flash card, for its first 100 ms (or the whole of a
   shorter count) the count's number card fills the picture, then a
   segmented progress bar fills through the rest; with the hold card the
   card stays all through and the bar fills over its lower edge. Numbers
   without a card of their own are set from the numeral atlas on the card's
   ground (numerals.cpp). The whole picture shakes by up to 2 units
   each way (not when the host set the show up still); the shake is left on the modelview so the overlays drawn after
   the show in the same frame shake with it. The card and the bar go where
   the frame's stage puts them (stage.h). */
#include "vexa.h"
#include "tool.h"

/* Reverses the eight bits of b: nibbles, then bit pairs, then single bits. */
static unsigned reverse_byte(unsigned b)
{
    b = ((b & 0xF0u) >> 4) | ((b & 0x0Fu) << 4);
    b = ((b & 0xCCu) >> 2) | ((b & 0x33u) << 2);
    b = ((b & 0xAAu) >> 1) | ((b & 0x55u) << 1);
    return b;
}

/* dy sweeps its range every 256 ms; dx jumps about with the reversed bits. */
static void shake(uint32_t t)
{
    if (my_still)
        return;
    const unsigned b = t & 0xFFu;
    const float fx = (float)reverse_byte(b) / 255.0f;
    const float fy = (float)b / 255.0f;
    const float dx = (float)(4.0 * ((double)fx - 0.5));
    const float dy = (float)(-4.0 * ((double)fy - 0.5));
    glTranslatef(dx, dy, 0);
}

/* The bar laid over what is beneath at alpha a (below 1): the same frame,
   black inside and segments as the opaque bar, cut into pieces that cover
   each pixel once, so that nothing shows through twice. */
static void translucent_bar(const float* c, float a, float w)
{
    glEnable(GL_BLEND);
    glColor4f(c[0], c[1], c[2], a);
    box(242, 276, 782, 280);  // the frame: below, above, left, right
    box(242, 488, 782, 492);
    box(242, 280, 246, 488);
    box(778, 280, 782, 488);
    glColor4f(0, 0, 0, a);
    box(246, 280, 778, 284);  // the black inside, around the segments' band
    box(246, 484, 778, 488);
    float at = 246;  // along the band: black up to each segment, then the segment
    for (int x = 0; (float)x < w; x += 20) {
        const float s0 = 250.0f + (float)x, s1 = s0 + 16;
        glColor4f(0, 0, 0, a);
        box(at, 284, s0 < 778 ? s0 : 778, 484);
        glColor4f(c[0], c[1], c[2], a);
        box(s0, 284, s1 < 778 ? s1 : 778, 484);
        if (s1 > 782)  // the last segment reaches past the frame's right side
            box(782, 284, s1, 484);
        at = s1 < 778 ? s1 : 778;
    }
    glColor4f(0, 0, 0, a);
    if (at < 778)
        box(at, 284, 778, 484);
    glDisable(GL_BLEND);
}

/* p: how much of the count has passed, 0 to 1. */
static void progress_bar(float p)
{
    const float* c = my_bar_colour;
    const float w = p * 524.0f;
    if (c[3] < 1) {
        translucent_bar(c, c[3], w);
        return;
    }
    glColor4f(c[0], c[1], c[2], 1);
    box(242, 276, 782, 492);  // frame, white in the classic look
    glColor4f(0, 0, 0, 1);
    box(246, 280, 778, 488);  // black inside, a border 4 units wide
    glColor4f(c[0], c[1], c[2], 1);
    for (int x = 0; (float)x < w; x += 20)  // segments 16 wide, gaps of 4
        box(250.0f + x, 284, 250.0f + x + 16, 484);
}

/* The classic card of number n, or 0 when n has none. */
static GLuint classic_card(int n)
{
    if (n >= 0 && n <= 5)
        return my_tex_positive[n];   // 0 .. 5
    if (n >= -3 && n < 0)
        return my_tex_negative[-n - 1];  // -1, -2, -3
    return 0;
}

/* Where the card is smaller than the view, its paper fills the rest: the
   whole band is drawn with one point of the card's own paper, in a corner
   outside its rings. The bands reach a little past the view, which the
   shake moves. */
static void card_paper(const float card[2][2])
{
    const float(*v)[2] = my_stage.view;
    const float x0 = v[0][0] - 4, y0 = v[0][1] - 4, x1 = v[1][0] + 4, y1 = v[1][1] + 4;
    const float bands[4][4] = {
        {x0, y0, card[0][0], y1}, {card[1][0], y0, x1, y1},  // left, right
        {x0, y0, x1, card[0][1]}, {x0, card[1][1], x1, y1},  // below, above
    };
    for (const auto& b : bands) {
        if (b[2] - b[0] <= 14 || b[3] - b[1] <= 14)
            continue;  // the classic 10-unit edge stays black
        const float paper[2][2] = {{0.1f, 0.1f}, {0.1f, 0.1f}};
        const float where[2][2] = {{b[0], b[1]}, {b[2], b[3]}};
        texbox2(where, paper);
    }
}

static void number_card(int n)
{
    const float(*card)[2] = my_stage.card;
    const GLuint classic = classic_card(n);
    glBindTexture(GL_TEXTURE_2D, classic ? classic : my_tex_card_ground);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    texbox(card[0][0], card[0][1], card[1][0], card[1][1]);
    if (my_stage.card_fill)
        card_paper(card);
    if (!classic)
        draw_numerals(n, card);
    glDisable(GL_TEXTURE_2D);
}

placement hold_bar_placement(void)
{
    // The card as far as the view shows it (a card covering a wide view is cut).
    const float(*c)[2] = my_stage.card;
    const float(*v)[2] = my_stage.view;
    const float x0 = c[0][0] > v[0][0] ? c[0][0] : v[0][0], x1 = c[1][0] < v[1][0] ? c[1][0] : v[1][0];
    const float y0 = c[0][1] > v[0][1] ? c[0][1] : v[0][1], y1 = c[1][1] < v[1][1] ? c[1][1] : v[1][1];
    // The bar's frame is 540 x 216 units from (242, 276): half the width, at
    // most a sixth of the height, a twentieth of the height above the edge.
    const float kw = (x1 - x0) * 0.5f / 540.0f, kh = (y1 - y0) / 6.0f / 216.0f;
    const float k = kw < kh ? kw : kh;
    return {k, (x0 + x1) * 0.5f - 512.0f * k, y0 + (y1 - y0) * 0.05f - 276.0f * k};
}

void draw_countdown(uint32_t t)
{
    const show_timeline& tl = my_timeline;
    shake(t);
    const uint32_t ms = t % tl.count_ms;
    const int n = count_shown(tl, t);
    const uint32_t flash = flash_ms(tl);
    if (tl.card == card_hold) {
        number_card(n);
        glPushMatrix();
        place(hold_bar_placement());
        progress_bar((float)ms / (float)tl.count_ms);
        glPopMatrix();
    } else if (ms >= flash) {
        glPushMatrix();  // the overlays keep the shake alone
        place(my_stage.bar);
        progress_bar((float)(ms - flash) / (float)(tl.count_ms - flash));
        glPopMatrix();
    }
    else
        number_card(n);
}
