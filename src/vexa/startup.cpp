/* startup.cpp - the window program's start-up steps around scene set-up.

   start_window initialises GLUT with the program's name alone (so arguments
   that look like GLUT's own options are not taken up) and calls initglut,
   which opens the one window, full screen or, for rehearsing on a desktop,
   1024x768; registers the callbacks (the idle callback too, so the show runs
   unpaused from the start) and hides the pointer. init2 waits a second for
   the display to settle, then start_clock reads the frame-rate flag and
   starts show time at zero, so neither loading nor the pause counts toward
   the show. */
#include "vexa.h"
#include "sys.h"

#include <GL/glut.h>
#include <cerrno>
#include <cstdlib>

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

void start_clock(void)
{
    m_pause = false;
    m_show_fps = getenv("VEXA_SHOW_FPS") != NULL;  // presence is enough, even empty
    m_lapsetime = 0;
    m_prevtime = sys_milliseconds();
}

void init2(void)
{
    sys_sleep(1000);
    start_clock();
}
