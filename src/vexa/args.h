/* args.h - the command line of vexa.

     vexa [--window] [--adapt] [DIR]
                               play (full screen, or in a 1024x768 window),
                               with the artwork found from DIR when given;
                               --adapt lays the show out for the screen
     vexa [--window] [--adapt] --show FILE
                               play the show a document describes
     vexa -h | --help          answer on standard output and end
     vexa -V | --version

   parse_args fills a vexa_args from argv with getopt_long. It returns 0 to
   play, -1 after answering --help or --version (nothing else is done: no
   window, no display needed), 2 after a usage error on standard error
   naming the refused argument (usage.h). */
#ifndef VEXA_ARGS_H
#define VEXA_ARGS_H

struct vexa_args {
    bool window;          // a 1024x768 window instead of full screen
    bool adapt;           // the show laid out for the screen's shape (stage_adapt)
    const char* art_dir;  // DIR as given, or NULL
    const char* show;     // --show FILE, or NULL
};

int parse_args(int argc, char** argv, vexa_args* args);

#endif
