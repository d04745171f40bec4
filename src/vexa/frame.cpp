/* frame.cpp - the frame around every picture: the show's frame entry
   (show_frame), projection, display callback, bitmap text and the two
   overlays (frame-rate counter, pause caption).

   The projection puts the eye at (512, 512, 512) looking down -z at the world
   plane z = 0 and shows x from 0 to 1024 exactly across the window width, so
   a 1024-pixel-wide window has one world unit per pixel. Vertically it shows
   512 -/+ 512 * height / width.

   The frame-rate counter counts frames per second of show time, not of wall
   time: frames redrawn while paused count into the current second. */
#include "vexa.h"

#include <GL/glut.h>
#include <cstdio>

bool m_show_fps;
int m_framecount;
uint32_t m_prevsecond;
int m_fps;

static void* const text_font = GLUT_BITMAP_HELVETICA_10;

/* The window's size, kept by reshape while it has one. */
static int m_width, m_height;

void compose_frame(void)
{
    if (my_overlay && m_lapsetime < show_closing_ms)
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

/* The projection for a picture width x height pixels large. */
static void project(int width, int height)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const float a = (float)height / (float)width;
    glFrustum(-1, 1, -a, a, 1, 1000);
    glTranslatef(-512, -512, -512);  // on the projection, so the per-frame glLoadIdentity keeps it
    glMatrixMode(GL_MODELVIEW);
}

bool show_frame(uint32_t t, int width, int height, const int viewport[4])
{
    if (t >= show_end_ms)
        return false;
    m_lapsetime = t;
    glPushAttrib(GL_ALL_ATTRIB_BITS);  // undoes every enable, colour and binding the frame sets
    if (viewport) {
        // Black bars first, then the picture clipped to its rectangle.
        glViewport(0, 0, width, height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glScissor(viewport[0], viewport[1], viewport[2], viewport[3]);
        glEnable(GL_SCISSOR_TEST);
        width = viewport[2];
        height = viewport[3];
        glViewport(viewport[0], viewport[1], width, height);
    } else {
        glViewport(0, 0, width, height);
    }
    if (width > 0 && height > 0)
        project(width, height);
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
    if (!show_frame(m_lapsetime, m_width, m_height, NULL))
        my_exit(0);
    glutSwapBuffers();
}

void reshape(int width, int height)
{
    // A minimised or collapsed window has no aspect; keep the last projection
    // until it has a size again.
    if (width <= 0 || height <= 0)
        return;
    m_width = width;
    m_height = height;
    glViewport(0, 0, width, height);
    project(width, height);
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
