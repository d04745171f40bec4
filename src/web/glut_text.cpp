/* glut_text.cpp - GLUT's bitmap text for the browser: glRasterPos2f,
   glutBitmapCharacter, glutBitmapWidth and the font GLUT_BITMAP_HELVETICA_10,
   none of which Emscripten's GLUT and WebGL provide.

   The raster position follows GL: the point goes through the modelview and
   projection matrices; outside the view volume the position is invalid and
   characters draw nothing, as on the desktop. The colour is latched when the
   position is set. A character's set pixels are drawn as one-pixel quads in
   window coordinates, so they pass blending like glBitmap's fragments do.

   The glyphs are Adobe Helvetica 10 from the X11 75 dpi fonts (the source of
   GLUT's own copy), read on first use from font/helvetica10.bdf, which the
   page build packs beside the artwork.

   The canvas has device pixels (several to a CSS pixel on a phone), so each
   of the font's pixels is drawn as a square of the device pixel ratio
   (rounded, at least 1): the pause caption and the frame counter keep the
   size they have in the window program instead of shrinking. The show sets
   the raster position before each character, adding glutBitmapWidth in its
   own units (exact where a unit is a pixel); here the width is given in the
   current matrices' units, so the letters keep their pixel spacing on a
   canvas of any size instead of running into each other on a small one. */
#include "bitmap_font.h"
#include "web_gl.h"

#include <GL/glut.h>
#include <emscripten/html5.h>
#include <cmath>
#include <cstdio>

void* glutBitmapHelvetica10;

static const char font_path[] = "font/helvetica10.bdf";

static bitmap_font m_font;
static int m_font_state;  // 0 not read yet, 1 read, -1 failed (reported once)

static bool m_raster_valid;
static float m_raster[2];        // window coordinates, pixels
static float m_raster_color[4];

/* Device pixels to one of the font's pixels. */
static int pixel_scale(void)
{
    const double ratio = emscripten_get_device_pixel_ratio();
    return ratio > 1.5 ? (int)std::lround(ratio) : 1;
}

static const bitmap_font* font_for(void* font)
{
    if (font != GLUT_BITMAP_HELVETICA_10)
        return NULL;
    if (m_font_state == 0)
        m_font_state = bitmap_font_load(&m_font, font_path) == 0 ? 1 : -1;
    return m_font_state == 1 ? &m_font : NULL;
}

/* out = m * v for a column-major 4 x 4 matrix. */
static void transform(float out[4], const float m[16], const float v[4])
{
    for (int r = 0; r < 4; ++r)
        out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
}

extern "C" void glRasterPos2f(GLfloat x, GLfloat y)
{
    float modelview[16], projection[16];
    GLint viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float object[4] = {x, y, 0, 1};
    float eye[4], clip[4];
    transform(eye, modelview, object);
    transform(clip, projection, eye);
    const float w = clip[3];
    m_raster_valid = w > 0 && std::fabs(clip[0]) <= w && std::fabs(clip[1]) <= w && std::fabs(clip[2]) <= w;
    if (!m_raster_valid)
        return;
    m_raster[0] = (float)viewport[0] + (clip[0] / w + 1) * 0.5f * (float)viewport[2];
    m_raster[1] = (float)viewport[1] + (clip[1] / w + 1) * 0.5f * (float)viewport[3];
    web_gl_current_color(m_raster_color);
}

/* Window pixels to one unit along x of the current matrices at the plane
   z = 0 (the show's text lies on it; its projection is a frustum, so the
   two points are divided by their w): 1 when a unit is a pixel. */
static float pixels_per_unit(void)
{
    float modelview[16], projection[16];
    GLint viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    float x[2];
    for (int i = 0; i < 2; ++i) {
        const float point[4] = {(float)i, 0, 0, 1};
        float eye[4], clip[4];
        transform(eye, modelview, point);
        transform(clip, projection, eye);
        x[i] = clip[3] != 0 ? clip[0] / clip[3] : 0;
    }
    const float per_unit = std::fabs(x[1] - x[0]) * 0.5f * (float)viewport[2];
    return per_unit > 0 ? per_unit : 1;
}

int glutBitmapWidth(void* font, int character)
{
    const bitmap_font* f = font_for(font);
    if (!f || character < 0 || character > 255 || !f->glyphs[character].present)
        return 0;
    return (int)std::lround((float)(f->glyphs[character].advance * pixel_scale()) / pixels_per_unit());
}

void glutBitmapCharacter(void* font, int character)
{
    const bitmap_font* f = font_for(font);
    if (!f || !m_raster_valid || character < 0 || character > 255 || !f->glyphs[character].present)
        return;
    const bitmap_glyph& g = f->glyphs[character];
    const float s = (float)pixel_scale();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(m_raster_color[0], m_raster_color[1], m_raster_color[2], m_raster_color[3]);
    // The bitmap's lower left lands on a whole pixel, as glBitmap's does.
    const float left = std::floor(m_raster[0] + (float)g.x_offset * s);
    const float bottom = std::floor(m_raster[1] + (float)g.y_offset * s);
    glBegin(GL_QUADS);
    for (int row = 0; row < g.height; ++row) {
        const float y = bottom + (float)(g.height - 1 - row) * s;
        for (int col = 0; col < g.width; ++col) {
            if (!(g.rows[row] & (0x80000000u >> col)))
                continue;
            const float x = left + (float)col * s;
            glVertex2f(x, y);
            glVertex2f(x + s, y);
            glVertex2f(x + s, y + s);
            glVertex2f(x, y + s);
        }
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    m_raster[0] += (float)g.advance * s;
}
