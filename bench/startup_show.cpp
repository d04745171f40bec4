/* startup_show.cpp - the program's start-up up to its first frame, for the
   start-up benchmark (startup_bench runs it; it is no way to watch the show).

   It does what main does, with the same library: glutInit with the program
   name only, initglut, errno cleared, my_init, and init2's settings without
   the one-second settling pause. The first display callback runs the
   program's own display() and waits for GL to finish, then the process
   reports the moments it reached and ends:
     main, window (window and callbacks set up), loaded (my_init done), frame */
#include "bench_clock.h"
#include "sys.h"
#include "vexa.h"

#include <GL/glut.h>
#include <cerrno>
#include <cstdlib>

static void first_frame(void)
{
    display();
    glFinish();
    bench_mark("frame");
    exit(0);
}

int main(int argc, char** argv)
{
    bench_mark("main");
    char fallback[] = "vexa";
    char* title = argc > 0 && argv[0] ? argv[0] : fallback;
    int glut_argc = 1;
    char* glut_argv[] = {title, NULL};
    glutInit(&glut_argc, glut_argv);
    initglut(title);
    glutDisplayFunc(first_frame);  // display() itself, then the report
    bench_mark("window");
    errno = 0;
    my_init();
    bench_mark("loaded");
    // init2 without sys_sleep(1000)
    m_pause = false;
    m_show_fps = getenv("VEXA_SHOW_FPS") != NULL;
    m_lapsetime = 0;
    m_prevtime = sys_milliseconds();
    glutMainLoop();
    return 0;
}
