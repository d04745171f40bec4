/* startup_show.cpp - the program's start-up up to its first frame, for the
   start-up benchmark (startup_bench runs it; it is no way to watch the show).

   It does what main does, with the same functions: start_window,
   begin_settling, my_init, warm_up_frame and init2 with its settling
   second. The first display callback runs the program's own display() and
   waits for GL to finish, then the process reports the moments it reached
   and ends:
     main, window (window and callbacks set up), loaded (my_init done),
     warmed (warm-up frame done), settled (init2 done), frame */
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
    begin_settling();
    bench_mark("window");
    const show_setup setup = window_setup("tex");
    my_init(&setup);
    bench_mark("loaded");
    warm_up_frame();
    bench_mark("warmed");
    init2();
    bench_mark("settled");
    glutMainLoop();
    return 0;
}
