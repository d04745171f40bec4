/* egl_context.cpp - see egl_context.h. */
#include "egl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <cstdio>
#include <cstring>

static EGLDisplay display = EGL_NO_DISPLAY;
static EGLContext context = EGL_NO_CONTEXT;

static int fail(const char* what)
{
    fprintf(stderr, "vexa-capture: EGL: %s (error 0x%04x)\n", what, (unsigned)eglGetError());
    egl_close();
    return 1;
}

int egl_open(void)
{
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!client || !strstr(client, "EGL_MESA_platform_surfaceless"))
        return fail("the surfaceless platform (EGL_MESA_platform_surfaceless) is missing");
    auto get_platform_display =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (!get_platform_display)
        return fail("eglGetPlatformDisplayEXT is missing");
    display = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, NULL);
    if (display == EGL_NO_DISPLAY)
        return fail("no surfaceless display");
    EGLint major, minor;
    if (!eglInitialize(display, &major, &minor))
        return fail("eglInitialize failed");
    if (!eglBindAPI(EGL_OPENGL_API))
        return fail("desktop OpenGL is not available");

    const EGLint config_attribs[] = {
        EGL_SURFACE_TYPE, EGL_DONT_CARE,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_NONE,
    };
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(display, config_attribs, &config, 1, &count) || count < 1)
        return fail("no config for desktop OpenGL");

    // The show draws in immediate mode: it needs the legacy, compatibility profile.
    const EGLint context_attribs[] = {
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
        EGL_NONE,
    };
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, context_attribs);
    if (context == EGL_NO_CONTEXT)
        return fail("no compatibility-profile context");
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
        return fail("cannot make the context current without a surface");
    return 0;
}

void egl_close(void)
{
    if (display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT)
        eglDestroyContext(display, context);
    // The display is not terminated: Mesa's eglTerminate unloads its driver
    // with two small blocks still allocated, which sanitizer builds report as
    // leaks. The process is about to end and takes the display with it.
    context = EGL_NO_CONTEXT;
    display = EGL_NO_DISPLAY;
}
