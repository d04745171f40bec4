/* web_gl.h - the GL 1.1 calls the browser build supplies itself (gl_state.js
   and glut_text.cpp); the rest comes from Emscripten's GL emulation. */
#ifndef VEXA_WEB_GL_H
#define VEXA_WEB_GL_H

#include <GL/gl.h>

extern "C" {
void glPushAttrib(GLbitfield mask);
void glPopAttrib(void);
void glRasterPos2f(GLfloat x, GLfloat y);
void web_gl_current_color(float rgba[4]);
}

#endif
