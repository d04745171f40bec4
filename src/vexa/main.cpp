/* main.cpp - program entry: the window, the callbacks, the settling pause.

   main opens one full-screen window titled with the program's invocation
   path, sets up the scene, waits a second for the display to settle, starts
   the show clock at zero and hands over to the GLUT main loop, which never
   returns. The program ends through my_exit. */
#include "vexa.h"

#include <GL/glut.h>

int main(int argc, char** argv)
{
    // A program started with an empty argument list still gets a title.
    const char* title = argc > 0 && argv[0] ? argv[0] : "vexa";
    start_window(title);
    my_init();
    init2();
    glutMainLoop();
    return 0;
}
