/* main.cpp - program entry: the command line, the window, the settling pause.

   main reads the command line (args.h: --help and --version answer, and
   anything else starting with '-' is refused, before any window opens),
   chooses the artwork directory once (art_dir.h) or paints the artwork of
   a show document (--show FILE; window_show.h), opens one full-screen
   window (or a 1024x768 one with --window; with --adapt the show is laid
   out for the window's shape) titled with the program's
   invocation path, sets up the scene and warms GL up with the first
   frame unseen while the display settles for a second, starts the show clock at zero and hands over to the GLUT main
   loop, which never returns. The program ends through my_exit. */
#include "args.h"
#include "music_play.h"
#include "show_timeline.h"
#include "vexa.h"
#include "window_show.h"

#include <GL/glut.h>
#include <string>

/* Each frame: the music moves with show time (pause, steps), then the show. */
static void display_with_music(void)
{
    music_play_follow(m_lapsetime, m_pause);
    display();
}

int main(int argc, char** argv)
{
    vexa_args args;
    const int parsed = parse_args(argc, argv, &args);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    // The show's document and artwork, refused before any window opens.
    static window_show show;
    const int opened = window_show_open(&args, &show);
    if (opened != 0)
        return opened;
    // A program started with an empty argument list still gets a title.
    const char* title = argc > 0 && argv[0] ? argv[0] : "vexa";
    show_setup setup = window_setup(show.tex_dir.c_str());
    window_show_setup(show, &args, &setup, &m_stage_mode);
    // The music is decoded and laid out before the window opens (a bad file
    // is refused here); a show ending with its music takes its length from it.
    if (show.has_doc &&
        music_play_start("vexa", &show.doc, timeline_for(show.doc.timing, show.doc.credits.size()).end_ms) != 0)
        return 1;
    start_window(title, args.window);
    begin_settling();  // what follows up to init2 runs inside the settling second
    glutDisplayFunc(display_with_music);
    my_init(&setup);
    warm_up_frame();
    init2();
    glutMainLoop();
    return 0;
}
