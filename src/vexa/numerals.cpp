/* numerals.cpp - cards for numbers outside the classic nine: the card's
   ground with the number set from the numeral atlas (numeral_atlas.h),
   both loaded once at set-up when the leader counts such a number. */
#include "vexa.h"
#include "numeral_atlas.h"
#include "stage.h"
#include "tool.h"

#include <cstdio>
#include <string>

GLuint my_tex_card_ground;
static GLuint my_tex_numerals;

bool leader_needs_atlas(const show_timeline& tl)
{
    if (tl.counts == 0)
        return false;
    return !classic_card_number(tl.count_from) || !classic_card_number(tl.count_to);
}

int load_numerals(const char* tex_dir, int max_texture)
{
    release_numerals();
    glGenTextures(1, &my_tex_card_ground);
    glGenTextures(1, &my_tex_numerals);
    const std::string dir = std::string(tex_dir) + "/";
    if (bmp_read(my_tex_card_ground, (dir + card_ground_file).c_str(), GL_RGB, max_texture) != 0)
        return 1;
    return bmp_read(my_tex_numerals, (dir + numeral_atlas_file).c_str(), GL_ALPHA, max_texture);
}

void release_numerals(void)
{
    if (my_tex_card_ground)
        glDeleteTextures(1, &my_tex_card_ground);
    if (my_tex_numerals)
        glDeleteTextures(1, &my_tex_numerals);
    my_tex_card_ground = my_tex_numerals = 0;
}

void draw_numerals(int n, const float card[2][2])
{
    if (!my_tex_numerals)
        return;
    char text[8];
    snprintf(text, sizeof text, "%d", n);
    const int k = (int)std::string(text).size();
    // As large as the classic numeral box allows, a cell's digit as tall as it.
    const float cw = card[1][0] - card[0][0], ch = card[1][1] - card[0][1];
    const float box_w = cw * (float)card_numeral_width, box_h = ch * (float)card_numeral_height;
    float s = box_h / (float)numeral_digit_h;
    if (s * (float)(k * numeral_cell_w) > box_w)
        s = box_w / (float)(k * numeral_cell_w);
    const float x0 = (card[0][0] + card[1][0] - s * (float)(k * numeral_cell_w)) * 0.5f;
    const float y0 = (card[0][1] + card[1][1] - s * (float)numeral_cell_h) * 0.5f;
    glBindTexture(GL_TEXTURE_2D, my_tex_numerals);
    glEnable(GL_BLEND);
    for (int band = 0; band < 2; ++band) {  // the halo, then the ink
        const float* c = band == 0 ? my_card_paper : my_card_ink;  // the look's (look.cpp)
        glColor4f(c[0], c[1], c[2], 1);
        for (int i = 0; i < k; ++i) {
            const int cell = text[i] == '-' ? numeral_minus_cell : text[i] - '0';
            const float u0 = (float)(cell * numeral_cell_w) / (float)numeral_atlas_width;
            const float u1 = (float)((cell + 1) * numeral_cell_w) / (float)numeral_atlas_width;
            // Band 0 is the image's upper half: texture rows count up from its bottom.
            const float v1 = band == 0 ? 1.0f : 0.5f, v0 = v1 - 0.5f;
            const float pos[2][2] = {{x0 + s * (float)(i * numeral_cell_w), y0},
                                     {x0 + s * (float)((i + 1) * numeral_cell_w), y0 + s * (float)numeral_cell_h}};
            const float tex[2][2] = {{u0, v0}, {u1, v1}};
            texbox2(pos, tex);
        }
    }
    glDisable(GL_BLEND);
}
