/* args.cpp - see args.h. */
#include "args.h"
#include "usage.h"

#include <getopt.h>

#include <cstdio>
#include <cstring>
#include <string>

static const char usage_line[] =
    "Usage: vexa [--window] [--adapt] [DIR | --show FILE]\n"
    "  or:  vexa -h | --help | -V | --version";

static const char help_text[] =
    "Plays the sixteen-second show full screen, then ends (status 0; 1 when the\n"
    "artwork fails to load).\n"
    "\n"
    "  DIR            the artwork: DIR/tex when that is a directory, else DIR\n"
    "                 itself (default: ./tex, else tex beside the program, else\n"
    "                 the installed ../share/vexa/tex beside it); a show.vexa.json\n"
    "                 there (vexa-art --show) is the show it plays\n"
    "      --show FILE  play the show a document describes (.vexa.json or .vexa),\n"
    "                 its artwork painted at start\n"
    "      --window   play in a 1024x768 window instead of full screen\n"
    "      --adapt    lay the show out for the screen's shape (16:9, 9:16, 1:1 ...)\n"
    "                 instead of the classic 4:3 picture cropped to the width\n"
    "  -h, --help     this text\n"
    "  -V, --version  the version\n"
    "\n"
    "Keys: Esc or q quit, Space pause, Left/Right a second back/forward,\n"
    "Up/Down 100 ms back/forward.\n"
    "\n"
    "Environment: VEXA_PHOTO shows the photo backdrop, VEXA_SHOW_FPS a frame-rate\n"
    "counter (when set, whatever the value).\n";

static int refuse(const char* what, const char* arg)
{
    return usage_error("vexa", (std::string(what) + " '" + arg + "'").c_str());
}

int parse_args(int argc, char** argv, vexa_args* args)
{
    enum { code_window = 256, code_adapt, code_show, code_help = 'h', code_version = 'V' };
    static const option longs[] = {
        {"window", no_argument, NULL, code_window},
        {"adapt", no_argument, NULL, code_adapt},
        {"show", required_argument, NULL, code_show},
        {"help", no_argument, NULL, code_help},
        {"version", no_argument, NULL, code_version},
        {NULL, 0, NULL, 0},
    };
    *args = vexa_args{};
    opterr = 0;
    optind = 0;  // start afresh, however often we are called
    int code;
    while ((code = getopt_long(argc, argv, ":hV", longs, NULL)) != -1) {
        switch (code) {
        case code_window:
            args->window = true;
            break;
        case code_adapt:
            args->adapt = true;
            break;
        case code_show:
            if (*optarg == '\0')
                return usage_error("vexa", "--show wants a show document");
            args->show = optarg;
            break;
        case code_help:
            printf("%s\n\n%s", usage_line, help_text);
            return -1;
        case code_version:
            puts("vexa " VEXA_VERSION);
            return -1;
        case ':':
            return usage_error("vexa", "--show wants a show document");
        default:
            // A short option is named by its letter, a long one as given.
            if (optopt > 0 && optopt < 256 && strncmp(argv[optind - 1], "--", 2) != 0)
                return refuse("unknown option", (std::string("-") + (char)optopt).c_str());
            return refuse("unknown option", argv[optind - 1]);
        }
    }
    for (int i = optind; i < argc; ++i) {
        if (args->show)
            return refuse("a directory or --show, not both:", argv[i]);
        if (argv[i][0] == '-' || args->art_dir)
            return refuse(args->art_dir ? "one directory at most, not also" : "unknown option", argv[i]);
        if (argv[i][0] == '\0')
            return refuse("an empty directory name", argv[i]);
        args->art_dir = argv[i];
    }
    return 0;
}
