/* main.cpp - program entry: the window, the callbacks, the settling pause.

   main reads the command line (args.h: --help and --version answer before
   any window opens), opens one full-screen window (or a 1024x768 one with
   --window) titled with the program's invocation path, sets up the scene, waits a second for the display to settle, starts
   the show clock at zero and hands over to the GLUT main loop, which never
   returns. The program ends through my_exit. */
#include "args.h"
#include "vexa.h"

#include <GL/glut.h>
#include <cerrno>

int main(int argc, char** argv)
{
    vexa_args args;
    const int parsed = parse_args(argc, argv, &args);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    // GLUT gets only the program name: its own options (-display, -geometry)
    // are refused above like any other.
    // A program started with an empty argument list still gets a title.
    char fallback[] = "vexa";
    char* title = argc > 0 && argv[0] ? argv[0] : fallback;
    int glut_argc = 1;
    char* glut_argv[] = {title, NULL};
    glutInit(&glut_argc, glut_argv);
    initglut(title, args.window);
    // GLUT and X leave errno set from calls that did not fail; clear it so
    // that at exit it speaks only of what the program itself ran into.
    errno = 0;
    my_init();
    init2();
    glutMainLoop();
    return 0;
}
