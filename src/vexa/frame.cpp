/* frame.cpp - the frame around every picture: the show's frame entry
   (show_frame), projection, display callback, bitmap text and the two
   overlays (frame-rate counter, pause caption).

   The projection puts the eye at (512, 512, 512) looking down -z at the world
   plane z = 0; the stage (stage.h) says how much of the plane the frame
   shows. The window program's classic stage shows x from 0 to 1024 exactly
   across the window width, so a 1024-pixel-wide window has one world unit
   per pixel, and vertically 512 -/+ 512 * height / width.

   The frame-rate counter counts frames per second of show time, not of wall
   time: frames redrawn while paused count into the current second. */
#include "vexa.h"

#include <GL/glut.h>
#include <cstdio>

bool m_show_fps;
stage_mode m_stage_mode = stage_crop;
stage my_stage = stage_for(1024, 768, stage_crop);
int m_framecount;
uint32_t m_prevsecond;
int m_fps;

static void* const text_font = GLUT_BITMAP_HELVETICA_10;

/* The window's size, kept by reshape while it has one. */
static int m_width, m_height;

void compose_frame(void)
{
    if (my_overlay && m_lapsetime < my_timeline.closing_ms)
        glClearColor(0, 0, 0, 1);  // the leader stays opaque
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    my_draw();
    if (m_show_fps) {
        calc_fps();
        show_fps();
    }
    if (m_pause)
        draw_string(467, 512, "- pause -");  // in whatever colour the frame left current
}

/* The stage's projection: the eye at (512, 512, 512) over the world plane,
   the frustum showing the stage's view at z = 0. */
static void project(const stage* s)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(s->frustum[0], s->frustum[1], s->frustum[2], s->frustum[3], 1, 1000);
    glTranslatef(-512, -512, -512);  // on the projection, so the per-frame glLoadIdentity keeps it
    glMatrixMode(GL_MODELVIEW);
}

bool show_frame(uint32_t t, int width, int height, stage_mode mode)
{
    if (t >= my_timeline.end_ms)
        return false;
    m_lapsetime = t;
    my_stage = stage_for(width, height, mode);
    const int* v = my_stage.viewport;
    glPushAttrib(GL_ALL_ATTRIB_BITS);  // undoes every enable, colour and binding the frame sets
    if (my_stage.clipped) {
        // Black bars first, then the picture clipped to its rectangle.
        glViewport(0, 0, width, height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glScissor(v[0], v[1], v[2], v[3]);
        glEnable(GL_SCISSOR_TEST);
    }
    glViewport(v[0], v[1], v[2], v[3]);
    project(&my_stage);
    compose_frame();
    glPopAttrib();
    return true;
}

void display(void)
{
    if (m_width <= 0 || m_height <= 0) {
        // Drawn before GLUT reported a size (a key during the settling
        // pause can ask for a frame that early): the window's own size.
        m_width = glutGet(GLUT_WINDOW_WIDTH);
        m_height = glutGet(GLUT_WINDOW_HEIGHT);
    }
    if (!show_frame(m_lapsetime, m_width, m_height, m_stage_mode))
        my_exit(0);
    glutSwapBuffers();
}

void warm_up_frame(void)
{
    const int count = m_framecount, fps = m_fps;
    const uint32_t second = m_prevsecond;
    show_frame(m_lapsetime, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT), m_stage_mode);
    glFinish();
    m_framecount = count;
    m_fps = fps;
    m_prevsecond = second;
}

void reshape(int width, int height)
{
    // A minimised or collapsed window has no aspect; keep the last projection
    // until it has a size again.
    if (width <= 0 || height <= 0)
        return;
    m_width = width;
    m_height = height;
    my_stage = stage_for(width, height, m_stage_mode);
    const int* v = my_stage.viewport;
    glViewport(v[0], v[1], v[2], v[3]);
    project(&my_stage);
}

void place(const placement& p)
{
    if (p.k == 1 && p.dx == 0 && p.dy == 0)
        return;  // the classic place: the matrix stays exactly as it was
    glTranslatef(p.dx, p.dy, 0);
    glScalef(p.k, p.k, 1);
}

void draw_string(float x, float y, const char* text)
{
    // The raster position is set for every character from the accumulated
    // width: exact when one world unit is one pixel.
    for (const char* p = text; *p; ++p) {
        glRasterPos2f(x, y);
        glutBitmapCharacter(text_font, *p);
        x += (float)glutBitmapWidth(text_font, *p);
    }
}

void calc_fps(void)
{
    m_framecount += 1;
    const uint32_t second = m_lapsetime / 1000u;
    if (second != m_prevsecond) {
        m_prevsecond = second;
        m_fps = m_framecount;  // the frame that changes the second closes the count
        m_framecount = 0;
    }
}

void show_fps(void)
{
    char buffer[256];
    snprintf(buffer, sizeof buffer, "%d fps", m_fps);
    glColor4f(1, 1, 1, 1);
    draw_string(100, 150, buffer);
}
