/* main_web.cpp - the show as a web page: the host that stands in for the
   GLUT program's main and start-up (src/vexa/main.cpp, startup.cpp).

   The page reads its options from its address (page_options.h), loads the
   show from the artwork packed into the page, waits a second for the page
   to settle without blocking it (a timer, not a sleep), then plays the show
   through the program's own display, idle, keyboard and special-key
   callbacks. Keys pressed while the page settles are dropped. The canvas
   fills the window and follows its size; it is opaque (no alpha), so the
   clear colour's zero alpha shows black; the pointer is hidden over it. A
   click, or the f key (still reported like any other key), asks for full
   screen, which browsers grant only after a gesture.

   When the show ends (its end, Esc or q, or artwork that fails to load),
   my_exit lands back here (web_host.h): the picture stays black, and a click
   or a key plays the show again from the page's start time.

   For the tests and the benchmark the page exports web_frames (show frames
   drawn so far), web_first_frame_ms (page clock at the first show frame,
   ms since navigation), web_state and web_bench_frames. */
#include "page_options.h"
#include "vexa.h"
#include "sys.h"
#include "web_host.h"

#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <cstdio>
#include <cstdlib>

enum web_state_value { state_settling, state_playing, state_ended };

static page_options m_options;
static int m_state = state_settling;
static int m_frames;
static double m_first_frame_ms = -1;
static int m_width, m_height;  // the canvas's drawing buffer, pixels

/* The canvas's drawing buffer follows its size on the page (the window, or
   the screen in full screen) in device pixels. */
static void fit_canvas(void)
{
    double css_w = 0, css_h = 0;
    emscripten_get_element_css_size("#canvas", &css_w, &css_h);
    const double ratio = emscripten_get_device_pixel_ratio();
    const int w = (int)(css_w * ratio + 0.5);
    const int h = (int)(css_h * ratio + 0.5);
    if (w <= 0 || h <= 0 || (w == m_width && h == m_height))
        return;
    m_width = w;
    m_height = h;
    emscripten_set_canvas_element_size("#canvas", w, h);
    reshape(w, h);
}

/* A paused show draws no frames: redraw when the window (or full screen)
   changes the canvas's size, so it is never shown stretched. */
static EM_BOOL on_resize(int, const EmscriptenUiEvent*, void*)
{
    glutPostRedisplay();
    return EM_FALSE;
}

/* JavaScript helpers (EM_JS: EM_ASM cannot share a function with setjmp). */
EM_JS(void, request_fullscreen, (void), {
    var c = Module['canvas'];
    if (c.requestFullscreen && !document.fullscreenElement)
        c.requestFullscreen().catch(function() {});
});

EM_JS(int, page_query_size, (void), {
    return lengthBytesUTF8(location.search) + 1;
});

EM_JS(void, page_query, (char* buffer, int size), {
    stringToUTF8(location.search, buffer, size);
});

static void end_show(void)
{
    m_state = state_ended;
    glutIdleFunc(NULL);
    glutPostRedisplay();
}

static void begin_show(void*)
{
    if (m_state != state_settling)
        return;
    m_state = state_playing;
    m_prevtime = sys_milliseconds();
    if (!m_pause)
        glutIdleFunc(idle);
    glutPostRedisplay();
}

/* Loads the show and starts the settling second; paused only as the page's
   first start asks, never when played again. */
static void start_show(bool paused)
{
    m_state = state_settling;
    if (setjmp(web_exit_point) != 0) {
        end_show();
        return;
    }
    show_setup setup{};
    setup.tex_dir = "tex";
    setup.photo = m_options.photo;
    setup.show_fps = m_options.fps;
    setup.paused = paused;
    setup.start_ms = m_options.start_ms;
    setup.seed = m_options.has_seed ? m_options.seed : sys_milliseconds();
    if (show_init(&setup) != 0)
        my_exit(1);
    emscripten_async_call(begin_show, NULL, 1000);
    glutPostRedisplay();
}

static void web_display(void)
{
    fit_canvas();
    if (m_state != state_playing) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);  // black
        return;
    }
    if (setjmp(web_exit_point) != 0) {
        end_show();
        return;
    }
    display();
    if (m_frames++ == 0)
        m_first_frame_ms = emscripten_get_now();
}

static void web_keyboard(unsigned char key, int x, int y)
{
    if (m_state == state_ended) {
        start_show(false);
        return;
    }
    if (key == 'f')
        request_fullscreen();
    if (m_state != state_playing)
        return;
    if (setjmp(web_exit_point) != 0) {
        end_show();
        return;
    }
    keyboard(key, x, y);
}

static void web_special(int key, int x, int y)
{
    if (m_state == state_ended)
        start_show(false);
    else if (m_state == state_playing)
        special(key, x, y);
}

static void web_mouse(int button, int pressed, int x, int y)
{
    (void)button;
    (void)x;
    (void)y;
    if (pressed != GLUT_DOWN)
        return;
    if (m_state == state_ended)
        start_show(false);
    else
        request_fullscreen();
}

extern "C" {

EMSCRIPTEN_KEEPALIVE int web_frames(void)
{
    return m_frames;
}

EMSCRIPTEN_KEEPALIVE double web_first_frame_ms(void)
{
    return m_first_frame_ms;
}

/* 0 settling, 1 playing, 2 ended. */
EMSCRIPTEN_KEEPALIVE int web_state(void)
{
    return m_state;
}

/* The benchmark's probe: draws `frames` frames of show time t as the
   playing show does (no pause caption), or with clear_only only clears
   them, each waited for by reading back a pixel, and returns the page
   clock's ms for all of them. Show time and the pause are left as they were. */
EMSCRIPTEN_KEEPALIVE double web_bench_frames(uint32_t t, int frames, int clear_only)
{
    const uint32_t time = m_lapsetime;
    const bool pause = m_pause;
    m_pause = false;
    unsigned char pixel[4];
    const double start = emscripten_get_now();
    for (int i = 0; i < frames; ++i) {
        if (clear_only)
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        else
            show_frame(t, m_width, m_height, NULL);
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    }
    const double elapsed = emscripten_get_now() - start;
    m_pause = pause;
    m_lapsetime = time;
    return elapsed;
}

}  // extern "C"

int main(void)
{
    const int query_size = page_query_size();
    char* query = (char*)malloc((size_t)query_size);
    if (query) {
        page_query(query, query_size);
        page_options_parse(&m_options, query);
        free(query);
    }

    int argc = 1;
    char name[] = "vexa";
    char* argv[] = {name, NULL};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("vexa");
    glutSetCursor(GLUT_CURSOR_NONE);
    glutDisplayFunc(web_display);
    glutKeyboardFunc(web_keyboard);
    glutSpecialFunc(web_special);
    glutMouseFunc(web_mouse);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, NULL, EM_FALSE, on_resize);
    fit_canvas();
    start_show(m_options.paused);
    glutMainLoop();
    return 0;
}
