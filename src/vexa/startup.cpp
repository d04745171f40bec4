/* startup.cpp - the two start-up steps around scene set-up.

   initglut opens the one window, full screen or, for rehearsing on a
   desktop, 1024x768; registers the callbacks (the
   idle callback too, so the show runs unpaused from the start) and hides the
   pointer. init2 reads the frame-rate flag, waits a second for the display to
   settle and starts show time at zero, so neither loading nor the pause
   counts toward the show. */
#include "vexa.h"
#include "sys.h"

#include <GL/glut.h>
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

void init2(void)
{
    m_pause = false;
    m_show_fps = getenv("VEXA_SHOW_FPS") != NULL;  // presence is enough, even empty
    sys_sleep(1000);
    m_lapsetime = 0;
    m_prevtime = sys_milliseconds();
}
