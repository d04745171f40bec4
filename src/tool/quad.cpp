/* quad.cpp - axis-aligned quads at z = 0 in the current modelview.

   Each call is one GL_QUADS with the vertices counter-clockwise when the
   first corner is the lower left; colour, texture binding and enables are the
   caller's. */
#include "tool.h"

void box(float x0, float y0, float x1, float y1)
{
    glBegin(GL_QUADS);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
}

void texbox(float x0, float y0, float x1, float y1)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2f(x0, y0);
    glTexCoord2f(1, 0); glVertex2f(x1, y0);
    glTexCoord2f(1, 1); glVertex2f(x1, y1);
    glTexCoord2f(0, 1); glVertex2f(x0, y1);
    glEnd();
}

void texbox2(const float pos[2][2], const float tex[2][2])
{
    glBegin(GL_QUADS);
    glTexCoord2f(tex[0][0], tex[0][1]); glVertex2f(pos[0][0], pos[0][1]);
    glTexCoord2f(tex[1][0], tex[0][1]); glVertex2f(pos[1][0], pos[0][1]);
    glTexCoord2f(tex[1][0], tex[1][1]); glVertex2f(pos[1][0], pos[1][1]);
    glTexCoord2f(tex[0][0], tex[1][1]); glVertex2f(pos[0][0], pos[1][1]);
    glEnd();
}
