/* egl_context.h - a desktop GL context with no window and no X server.

   egl_open makes a compatibility-profile OpenGL context current on Mesa's
   surfaceless EGL platform; it has no default framebuffer, so everything is
   drawn into a framebuffer object (offscreen.h). egl_close releases the context.
   egl_open returns 0, or 1 after writing one line to standard error. */
#ifndef VEXA_CAPTURE_EGL_CONTEXT_H
#define VEXA_CAPTURE_EGL_CONTEXT_H

int egl_open(void);
void egl_close(void);

#endif
