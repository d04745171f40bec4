/* startup.cpp - the window program's start-up steps around scene set-up.

   start_window initialises GLUT with the program's name alone (so arguments
   that look like GLUT's own options are not taken up) and calls initglut,
   which opens the one window, full screen or, for rehearsing on a desktop,
   1024x768; registers the callbacks (the idle callback too, so the show runs
   unpaused from the start; a timer that watches the clock) and hides the
   pointer. window_setup is what the window program asks of the show, read
   from its environment. init2 waits a second for the display to settle,
   then start_clock starts show time where show_init put it (zero) and asks
   for the first frame, so neither loading nor the pause counts toward the
   show, and a show paused during the pause still shows its first picture. */
#include "vexa.h"
#include "sys.h"

#include <GL/glut.h>
#include <cerrno>
#include <cstdlib>

/* Show time runs on the clock, not on redraws: freeglut calls no display
   while the window is unmapped or iconified, so a timer looks at the clock
   every watch_ms and ends the show on time either way. While the window
   cannot be seen the timer also advances show time in place of the idle
   callback, which would spin a core drawing nothing. */
enum { watch_ms = 50 };
static bool m_hidden;

static void watch_clock(int)
{
    if (m_hidden && !m_pause)
        idle();
    if (m_lapsetime >= my_timeline.end_ms)
        my_exit(0);
    glutTimerFunc(watch_ms, watch_clock, 0);
}

static void visibility(int state)
{
    m_hidden = state != GLUT_VISIBLE;
    if (!m_pause)
        glutIdleFunc(m_hidden ? NULL : idle);  // the timer keeps the clock meanwhile
}

void initglut(const char* title, bool window)
{
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
    glutInitWindowSize(1024, 768);
    glutCreateWindow(title);
    if (!window)
        glutFullScreen();
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(special);
    glutIdleFunc(idle);
    glutVisibilityFunc(visibility);
    glutTimerFunc(watch_ms, watch_clock, 0);
    glutSetCursor(GLUT_CURSOR_NONE);
}

void start_window(const char* title, bool window)
{
    int glut_argc = 1;
    char* glut_argv[] = {const_cast<char*>(title), NULL};
    glutInit(&glut_argc, glut_argv);
    initglut(title, window);
    // GLUT and X leave errno set from calls that did not fail; clear it so
    // that at exit it speaks only of what the program itself ran into.
    errno = 0;
}

show_setup window_setup(const char* tex_dir)
{
    show_setup setup = {};
    setup.tex_dir = tex_dir;
    setup.photo = getenv("VEXA_PHOTO") != NULL;  // presence is enough, even empty
    setup.show_fps = getenv("VEXA_SHOW_FPS") != NULL;
    setup.seed = sys_milliseconds();
    return setup;
}

void start_clock(void)
{
    m_prevtime = sys_milliseconds();
    glutPostRedisplay();
}

/* Whether the settling second is running, and since when. */
static bool m_settling;
static uint32_t m_settle_from;

void begin_settling(void)
{
    m_settling = true;
    m_settle_from = sys_milliseconds();
}

void init2(void)
{
    // Without begin_settling the whole second is still to come.
    const uint32_t spent = m_settling ? sys_milliseconds() - m_settle_from : 0;
    m_settling = false;
    if (spent < settle_ms)
        sys_sleep(settle_ms - spent);
    start_clock();
}
