/* credits.cpp - the credits roll: the credit sheets loaded once at set-up,
   and each frame's lines as the roll carries them up.

   The roll starts at my_timeline.roll_ms and rises one line pitch (a
   twentieth of the view's height) every roll_step_ms, taking the two
   captions up with it as its head. Credit line k enters at the view's lower
   edge two pitches after the roll starts plus k pitches, and leaves at the
   top twenty pitches later (show_timeline.h). The lines are cut from the
   sheets the artwork generator painted (credit_sheets.h), a row across the
   view's middle, one pitch tall. */
#include "vexa.h"
#include "credit_sheets.h"
#include "tool.h"

#include <string>
#include <vector>

static std::vector<GLuint> my_tex_credits;
/* Half the width of the rows' ink, as a fraction of a row: the painter kept
   every line inside the frame of the document's aspect (else 9:16), so only
   that middle part is drawn, which spares most of a wide frame's fill. */
static float my_credit_half;

int load_credit_sheets(const char* tex_dir, size_t lines, double aspect, int max_texture)
{
    release_credit_sheets();
    const double half = credit_frame_px(aspect) * 0.5 / credit_sheet_width;
    my_credit_half = (float)(half < 0.5 ? half : 0.5);
    const size_t sheets = credit_sheet_count(lines);
    if (sheets == 0)
        return 0;
    my_tex_credits.resize(sheets);
    glGenTextures((GLsizei)sheets, my_tex_credits.data());
    for (size_t i = 0; i < sheets; ++i) {
        const std::string path = std::string(tex_dir) + "/" + credit_sheet_name(i);
        if (bmp_read(my_tex_credits[i], path.c_str(), GL_ALPHA, max_texture) != 0)
            return 1;
    }
    return 0;
}

void release_credit_sheets(void)
{
    if (!my_tex_credits.empty())
        glDeleteTextures((GLsizei)my_tex_credits.size(), my_tex_credits.data());
    my_tex_credits.clear();
}

static float pitch(void)
{
    return (my_stage.view[1][1] - my_stage.view[0][1]) / (float)roll_lines_in_view;
}

float roll_rise(uint32_t t)
{
    if (t < my_timeline.roll_ms || my_timeline.roll_length_ms == 0)
        return 0;
    return pitch() * (float)(t - my_timeline.roll_ms) / (float)roll_step_ms;
}

void draw_credits(uint32_t t)
{
    if (my_tex_credits.empty())
        return;
    const float p = pitch(), rise = roll_rise(t);
    const float bottom = my_stage.view[0][1], top = my_stage.view[1][1];
    const float cx = (my_stage.view[0][0] + my_stage.view[1][0]) * 0.5f;
    const float half = p * (float)credit_sheet_width / (float)credit_row_px * my_credit_half;
    glColor4f(1, 1, 1, 1);
    for (uint32_t k = 0; k < my_timeline.roll_lines; ++k) {
        const float y1 = bottom + rise - p * (float)(k + 2);  // the row's upper edge
        if (y1 <= bottom)
            break;  // this row and those after it are still below the view
        if (y1 - p >= top)
            continue;
        const size_t sheet = k / credit_rows_per_sheet, row = k % credit_rows_per_sheet;
        const float h = (float)credit_sheet_height;
        const float pos[2][2] = {{cx - half, y1 - p}, {cx + half, y1}};
        const float tex[2][2] = {{0.5f - my_credit_half, 1 - (float)((row + 1) * credit_row_px) / h},
                                 {0.5f + my_credit_half, 1 - (float)(row * credit_row_px) / h}};
        glBindTexture(GL_TEXTURE_2D, my_tex_credits[sheet]);
        texbox2(pos, tex);
    }
}
