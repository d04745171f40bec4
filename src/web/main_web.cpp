/* main_web.cpp - the show as a web page: the host that stands in for the
   GLUT program's main and start-up (src/vexa/main.cpp, startup.cpp).

   The page reads its options from its address (page_options.h), has a
   worker paint the default artwork (page_art.h; unless the build packed
   artwork in), the show's first picture first, and loads the show within a
   second for the page to settle, counted from its navigation, without
   blocking it (a timer, not a sleep); then plays the show, once the
   pictures its start draws are in, through the program's own display,
   idle, keyboard and special-key callbacks, show time waiting for any
   picture still being painted. Keys pressed while the page settles are
   acted on as the window program acts on the keys it finds queued after its
   pause (Esc ends the show before its first frame, Space starts it paused),
   but show time only runs once it is over. A tap on a touch screen pauses and resumes. The canvas
   fills the window and follows its size; it is opaque (no alpha), so the
   clear colour's zero alpha shows black; the pointer is hidden over it. A
   click, or the f key (still reported like any other key), asks for full
   screen, which browsers grant only after a gesture. The show is laid out
   for the canvas's shape (stage.h) and follows it when the window changes;
   ?crop plays the classic picture cropped to the width instead.

   When the show ends (its end, Esc or q, or artwork that fails to load),
   my_exit lands back here (web_host.h): the picture stays black, and a click,
   a tap or a key plays the show again from the page's start time. Without
   WebGL the page says so in words and plays nothing.

   For the tests and the benchmark the page exports web_frames (show frames
   drawn so far), web_first_frame_ms (page clock at the first show frame,
   ms since navigation), web_state, web_paused and web_bench_frames. */
#include "art_engine.h"
#include "page_art.h"
#include "page_options.h"
#include "doc_load.h"
#include "vexa.h"
#include "sys.h"
#include "web_export.h"
#include "web_host.h"

#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <cstdio>
#include <cstdlib>
#include <string>

enum web_state_value { state_settling, state_playing, state_ended };

static page_options m_options;
static int m_state = state_settling;
static intptr_t m_start_count;  // shows started: a settling timer only begins its own
static int m_frames;
static double m_first_frame_ms = -1;
static int m_width, m_height;  // the canvas's drawing buffer, pixels
static const char* const default_tex_dir = page_art_dir;  // painted at start, or packed in
static std::string m_tex_dir = default_tex_dir;  // the artwork: the default, or the studio's
static uint32_t m_seed;                // the strips' layout of the show playing
static bool m_still;                   // no shake: the viewer asked for less motion
static bool m_exporting;               // an export holds the canvas
static uint32_t m_export_time;         // show time and pause from before the export
static bool m_export_pause;
static show_doc m_doc;                 // the studio's show document, when its artwork was made from one
static bool m_has_doc;
static bool m_loaded;                  // show_init done, show_release not yet
static bool m_begin_waiting;            // settled, waiting for the pictures its start draws
static bool m_start_pending;           // the address's t=, until the show's document is in
static uint32_t m_start_ms;            // where the show starts (and starts again): t= when in range

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
    m_loaded = false;  // released by my_exit
    glutIdleFunc(NULL);
    glutPostRedisplay();
}

/* The show's clock, holding while the pictures of the time it comes to are
   still being painted (page_art.h). */
static void web_idle(void)
{
    const uint32_t from = m_lapsetime;
    idle();
    if (!show_images_in(m_lapsetime))
        m_lapsetime = from;
}

static void begin_show(void* start)
{
    if (m_state != state_settling || (intptr_t)start != m_start_count)
        return;
    m_begin_waiting = !show_images_in(m_lapsetime);
    if (m_begin_waiting)
        return;  // page_art_arrived begins it
    m_state = state_playing;
    m_prevtime = sys_milliseconds();
    if (!m_pause)
        glutIdleFunc(web_idle);
    glutPostRedisplay();
}

/* show_init with the page's artwork and options and the strips' seed: 0,
   or 1 after the loader's line naming the file. */
static int load_show(uint32_t seed, bool paused, uint32_t start_ms, bool show_fps)
{
    m_seed = seed;
    const bool painted = m_tex_dir == default_tex_dir;
    if (painted && !page_art_painting() && page_art_paint_here() != 0)
        return 1;
    show_setup setup{};
    setup.tex_dir = m_tex_dir.c_str();
    if (painted)
        setup.images = page_art_images();  // while the painter is at work
    setup.photo = m_options.photo;
    setup.show_fps = show_fps;
    setup.paused = paused;
    setup.start_ms = start_ms;
    setup.seed = seed;
    setup.still = m_still && !m_exporting;  // a video is the show as made
    setup.doc = m_has_doc ? &m_doc : nullptr;  // its timing, look and credits
    if (show_init(&setup) != 0)
        return 1;
    m_loaded = true;
    // The address's t= starts the show there once the show is long enough;
    // web_start_time judges it when the studio has put its document in.
    if (m_start_pending) {
        m_start_ms = m_options.start_ms <= my_timeline.last_ms ? m_options.start_ms : 0;
        m_lapsetime = m_start_ms;
    }
    if (m_lapsetime > my_timeline.last_ms)  // a show made shorter, at a time past its new end
        m_lapsetime = my_timeline.last_ms;
    return 0;
}

/* The show loaded again as the page's settings now say, at the same time,
   pause and seed: 0, or 1 after the loader's line; the show has then ended.
   An ended show is loaded by its next start, or here when `even_ended`. */
static int load_again(bool even_ended = false)
{
    if (m_state == state_ended && !even_ended)
        return 0;
    if (setjmp(web_exit_point) != 0) {
        end_show();
        return 1;
    }
    show_release();
    if (load_show(m_seed, m_pause, m_lapsetime, m_show_fps) != 0)
        my_exit(1);
    glutPostRedisplay();
    return 0;
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
    // The settling second: the page's first from its navigation, the
    // loading within it (a worker paints the artwork meanwhile); a whole
    // one when the show is played again.
    const bool first = m_start_count == 0;
    if (load_show(m_options.has_seed ? m_options.seed : sys_milliseconds(), paused, m_start_ms, m_options.fps) != 0)
        my_exit(1);
    const double now = emscripten_get_now();
    emscripten_async_call(begin_show, (void*)++m_start_count, first ? (now < 1000 ? int(1000 - now) : 0) : 1000);
    glutPostRedisplay();
}

/* While the page settles show time stands still, whatever a key did to the
   pause: begin_show starts the clock. */
static void hold_clock(void)
{
    if (m_state == state_settling)
        glutIdleFunc(NULL);
    else if (m_state == state_playing && !m_pause)
        glutIdleFunc(web_idle);  // the page's clock, not the show's plain one
}

static void web_display(void)
{
    if (m_exporting)
        return;
    fit_canvas();
    if (m_state != state_playing) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);  // black
        return;
    }
    if (!show_images_in(m_lapsetime))
        return;  // the last picture stays until these are painted
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
    if (m_exporting)
        return;
    if (m_state == state_ended) {
        start_show(false);
        return;
    }
    if (key == 'f')
        request_fullscreen();
    if (setjmp(web_exit_point) != 0) {
        end_show();
        return;
    }
    keyboard(key, x, y);
    hold_clock();
}

static void web_special(int key, int x, int y)
{
    if (m_exporting)
        return;
    if (m_state == state_ended) {
        start_show(false);
        return;
    }
    special(key, x, y);
    hold_clock();
}

/* A tap: Space's pause and resume, or the show again once it has ended. */
extern "C" EMSCRIPTEN_KEEPALIVE void web_tap(void)
{
    if (m_exporting)
        return;
    if (m_state == state_ended)
        start_show(false);
    else
        web_keyboard(' ', 0, 0);
}

/* Taps reach web_tap instead of GLUT's emulation of a mouse, whose click
   would ask for full screen, and keys typed into the studio's form stay
   there instead of playing the show. Tab is the browser's, moving the focus
   on from the picture (GLUT would keep it there). Registered before
   glutInit, so these capturing listeners on the window run ahead of GLUT's
   own. */
EM_JS(void, listen_for_taps, (void), {
    var canvas = Module['canvas'];
    ['keydown', 'keyup', 'keypress'].forEach(function(type) {
        window.addEventListener(type, function(event) {
            var t = event.target;
            if (event.key === 'Tab' ||
                (t && t.closest && t.closest('input, textarea, select, button, a, [contenteditable]')))
                event.stopImmediatePropagation();
        }, true);
    });
    ['touchstart', 'touchmove', 'touchend'].forEach(function(type) {
        window.addEventListener(type, function(event) {
            if (event.target !== canvas)
                return;
            event.preventDefault();
            event.stopImmediatePropagation();
            if (type === 'touchstart' && event.touches.length === 1)
                Module['_web_tap']();
        }, {capture: true, passive: false});
    });
});

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

EMSCRIPTEN_KEEPALIVE int web_paused(void)
{
    return m_pause;
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
            show_frame(t, m_width, m_height, m_stage_mode);
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    }
    const double elapsed = emscripten_get_now() - start;
    m_pause = pause;
    m_lapsetime = time;
    return elapsed;
}

/* The studio's controls (studio.js). */

EMSCRIPTEN_KEEPALIVE uint32_t web_seed(void)
{
    return m_seed;
}

EMSCRIPTEN_KEEPALIVE uint32_t web_time(void)
{
    return m_lapsetime;
}

/* What the page's show is made from, for the export workers: its artwork
   directory in the page's file system and whether it shows the photo. */
EMSCRIPTEN_KEEPALIVE const char* web_tex_dir(void)
{
    return m_tex_dir.c_str();
}

EMSCRIPTEN_KEEPALIVE int web_photo(void)
{
    return m_options.photo;
}

/* The show's document as the export workers take it (worker_web.cpp): its
   text with the files it names left out, as the show draws from the artwork
   made of them and reads none itself; "" when the show has none. */
static std::string same_name(const std::string& path, void*)
{
    return path;
}

EMSCRIPTEN_KEEPALIVE const char* web_doc_text(void)
{
    static std::string m_text;
    m_text.clear();
    if (m_has_doc) {
        show_doc d = m_doc;
        for (show_text_look* t : {&d.look.title, &d.look.subtitle, &d.look.lines, &d.look.credits})
            if (t->font_is_file) {
                t->font.clear();
                t->font_is_file = false;
            }
        d.photo.file.clear();
        d.sound.music.clear();
        m_text = show_doc_text(d, same_name, nullptr);
    }
    return m_text.c_str();
}

/* The show's timeline (show_timeline.h) for the page's controls: where the
   show ends and where its closing starts, in ms. */
EMSCRIPTEN_KEEPALIVE uint32_t web_show_end(void)
{
    return my_timeline.end_ms;
}

EMSCRIPTEN_KEEPALIVE uint32_t web_closing_start(void)
{
    return my_timeline.closing_ms;
}

/* Shows show time t (scrubbing), playing on or paused as it was; an ended
   show plays again from there. */
EMSCRIPTEN_KEEPALIVE void web_seek(uint32_t t)
{
    if (m_exporting)
        return;
    if (m_state == state_ended)
        start_show(false);
    m_lapsetime = t < my_timeline.last_ms ? t : my_timeline.last_ms;
    m_prevtime = sys_milliseconds();
    glutPostRedisplay();
}

/* Loads the show again with other artwork (a directory of the page's file
   system, NULL for the packed one), photo and seed, at the same time and
   pause. 0, or 1 after the loader's line; the show has then ended. */
EMSCRIPTEN_KEEPALIVE int web_reload(const char* tex_dir, int photo, uint32_t seed)
{
    if (m_exporting)
        return 1;
    m_tex_dir = tex_dir ? tex_dir : default_tex_dir;
    // The studio's artwork comes with the document it was made from (none
    // from words alone); a refused make left the artwork, and its document, as they were.
    if (!tex_dir) {
        m_has_doc = false;
    } else if (art_engine_show_images()) {
        const show_doc* d = art_engine_show_doc();
        m_has_doc = d != nullptr;
        if (d)
            m_doc = *d;
    }
    m_options.photo = photo != 0;
    m_options.has_seed = true;
    m_options.seed = m_seed = seed;
    return load_again();
}

/* The address's t= held against the show as the studio has set it up
   (its document in): the show is at that time, or it was out of range and
   the notice names it (the show stays where it started). Once. */
EMSCRIPTEN_KEEPALIVE void web_start_time(void)
{
    if (!m_start_pending)
        return;
    m_start_pending = false;
    page_time_check(m_options.start_ms, my_timeline.last_ms);
}

/* The viewer's wish for less motion (prefers-reduced-motion): the leader
   stands still in the preview; videos are made as the show is. */
EMSCRIPTEN_KEEPALIVE void web_still(int still)
{
    m_still = still != 0;
    load_again();
}

/* An export holds the canvas from begin to end: the preview stops, and
   afterwards comes back at its time and pause, at the window's size. Begin
   gives 0, or 1 when the show could not be loaded (its line written); end
   follows either way. */
EMSCRIPTEN_KEEPALIVE int web_export_begin(void)
{
    m_exporting = true;
    m_export_time = m_lapsetime;
    m_export_pause = m_pause;
    m_pause = false;  // a video has no pause caption, whatever the preview was doing
    glutIdleFunc(NULL);
    if (m_still || m_state == state_ended)
        return load_again(true);
    return 0;
}

EMSCRIPTEN_KEEPALIVE void web_export_end(void)
{
    m_exporting = false;
    if (m_state == state_ended) {
        show_release();  // as the end left it: the next start loads the show
        m_loaded = false;
    } else if (m_still)
        load_again();
    m_lapsetime = m_export_time;
    m_pause = m_export_pause;
    m_width = m_height = 0;  // fit_canvas sizes the canvas again
    m_prevtime = sys_milliseconds();
    if (m_state == state_playing && !m_pause)
        glutIdleFunc(web_idle);
    glutPostRedisplay();
}

}  // extern "C"

void page_art_arrived(int index, const show_image* image, const char* path)
{
    if (!m_loaded || m_tex_dir != default_tex_dir)
        return;  // the show loads it with the rest
    if (setjmp(web_exit_point) != 0) {
        end_show();
        return;
    }
    if (show_image_in(index, image, path) != 0)
        my_exit(1);
    if (m_begin_waiting)
        begin_show((void*)m_start_count);
    glutPostRedisplay();
}

void page_art_done(bool repainted)
{
    if (!repainted || m_tex_dir != default_tex_dir || load_again() != 0)
        return;
    if (m_begin_waiting)
        begin_show((void*)m_start_count);
}

void web_export_canvas(int width, int height)
{
    if (width != m_width || height != m_height) {
        m_width = width;
        m_height = height;
        emscripten_set_canvas_element_size("#canvas", width, height);
    }
}

int main(void)
{
    const int query_size = page_query_size();
    char* query = (char*)malloc((size_t)query_size);
    if (query) {
        page_query(query, query_size);
        page_options_parse(&m_options, query);
        m_start_pending = m_options.has_start;
        free(query);
    }

    int argc = 1;
    char name[] = "vexa";
    char* argv[] = {name, NULL};
    // The painter first: it works while the page sets up its GL.
    if (page_art_missing())
        page_art_start(m_start_pending && m_options.start_ms <= classic_timeline().last_ms ? m_options.start_ms : 0);
    listen_for_taps();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    if (!glutCreateWindow("vexa")) {
        fprintf(stderr, "vexa: this page needs WebGL, which this browser lacks or has turned off\n");
        return 0;
    }
    glutSetCursor(GLUT_CURSOR_NONE);
    glutDisplayFunc(web_display);
    glutKeyboardFunc(web_keyboard);
    glutSpecialFunc(web_special);
    glutMouseFunc(web_mouse);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, NULL, EM_FALSE, on_resize);
    m_stage_mode = m_options.crop ? stage_crop : stage_adapt;
    fit_canvas();
    page_art_paint_first();
    start_show(m_options.paused);
    glutMainLoop();
    return 0;
}
