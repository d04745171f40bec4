/* startup_floor.cpp - the start-up floor: an empty GLUT program that opens
   the same full-screen window as the show (same display mode) and draws one
   cleared frame. Reports main, window and frame like startup_show. */
#include "bench_clock.h"

#include <GL/glut.h>
#include <cstdlib>

static void first_frame(void)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
    glFinish();
    bench_mark("frame");
    exit(0);
}

int main(int argc, char** argv)
{
    bench_mark("main");
    int glut_argc = 1;
    char* glut_argv[] = {argc > 0 ? argv[0] : NULL, NULL};
    glutInit(&glut_argc, glut_argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
    glutCreateWindow(glut_argv[0]);
    glutFullScreen();
    glutDisplayFunc(first_frame);
    glutSetCursor(GLUT_CURSOR_NONE);
    bench_mark("window");
    glutMainLoop();
    return 0;
}
