/* startup_show.cpp - the program's start-up up to its first frame, for the
   start-up benchmark (startup_bench runs it; it is no way to watch the show).

   It does what main does, with the same functions: start_window, my_init,
   and start_clock without init2's one-second settling pause. The first display callback runs the
   program's own display() and waits for GL to finish, then the process
   reports the moments it reached and ends:
     main, window (window and callbacks set up), loaded (my_init done), frame */
#include "bench_clock.h"
#include "sys.h"
#include "vexa.h"

#include <GL/glut.h>
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
    start_window(argc > 0 && argv[0] ? argv[0] : "vexa", false);
    glutDisplayFunc(first_frame);  // display() itself, then the report
    bench_mark("window");
    const show_setup setup = window_setup("tex");
    my_init(&setup);
    bench_mark("loaded");
    start_clock();
    glutMainLoop();
    return 0;
}
