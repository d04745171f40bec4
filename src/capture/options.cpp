/* options.cpp - see options.h. */
#include "options.h"
#include "show_times.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

static const char usage_text[] =
    "usage: vexa-capture --time MS --out FRAME.png [options]\n"
    "       vexa-capture --out DIR [--fps N] [options]          every frame as DIR/frame-NNNNN.png\n"
    "       vexa-capture --out SHOW.mp4|SHOW.webm [--fps N] [options]   a video (needs ffmpeg)\n"
    "       vexa-capture --sheet --out SHEET.png [options]      a 4x4 contact sheet of the show\n"
    "options:\n"
    "  --time MS      show time of the one frame, 0 to 15999\n"
    "  --fps N        frames per second of show time, 1 to 1000 (default 30)\n"
    "  --size WxH     frame size in pixels (default 1024x768; even for video;\n"
    "                 the contact sheet shows frames at a quarter of it)\n"
    "  --seed N       layout of the caption strips (default: from the clock)\n"
    "  --photo        show the photo backdrop (as VEXA_PHOTO does)\n"
    "  --tex DIR      load the artwork from DIR/tex (default ./tex)\n"
    "  --help         this text\n";

void print_usage(bool to_stdout)
{
    fputs(usage_text, to_stdout ? stdout : stderr);
}

static int fail(const char* what, const char* arg)
{
    if (arg)
        fprintf(stderr, "vexa-capture: %s: %s\n", what, arg);
    else
        fprintf(stderr, "vexa-capture: %s\n", what);
    print_usage(false);
    return 2;
}

/* A decimal number from lo to hi with nothing after it. */
static bool read_number(const char* text, unsigned long lo, unsigned long hi, unsigned long* value)
{
    if (!text || *text < '0' || *text > '9')
        return false;
    char* end;
    errno = 0;
    const unsigned long v = strtoul(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi)
        return false;
    *value = v;
    return true;
}

static bool read_size(const char* text, int* width, int* height)
{
    if (!text)
        return false;
    const char* x = strchr(text, 'x');
    if (!x || x - text > 5)
        return false;
    char w[6] = {0};
    memcpy(w, text, (size_t)(x - text));
    unsigned long vw, vh;
    if (!read_number(w, 1, 8192, &vw) || !read_number(x + 1, 1, 8192, &vh))
        return false;
    *width = (int)vw;
    *height = (int)vh;
    return true;
}

static bool ends_with(const char* text, const char* tail)
{
    const size_t n = strlen(text), m = strlen(tail);
    return n >= m && strcmp(text + n - m, tail) == 0;
}

int parse_options(int argc, char** argv, capture_options* o)
{
    *o = capture_options{};
    o->width = 1024;
    o->height = 768;
    bool has_time = false, has_fps = false, sheet = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : NULL;
        unsigned long n;
        if (strcmp(a, "--help") == 0) {
            print_usage(true);
            return -1;
        } else if (strcmp(a, "--photo") == 0) {
            o->photo = true;
        } else if (strcmp(a, "--sheet") == 0) {
            sheet = true;
        } else if (strcmp(a, "--time") == 0) {
            if (!read_number(v, 0, show_last_ms, &n))
                return fail("--time wants a show time from 0 to 15999 ms", v);
            o->time_ms = (uint32_t)n;
            has_time = true;
            ++i;
        } else if (strcmp(a, "--fps") == 0) {
            if (!read_number(v, 1, 1000, &n))
                return fail("--fps wants a number from 1 to 1000", v);
            o->fps = (int)n;
            has_fps = true;
            ++i;
        } else if (strcmp(a, "--seed") == 0) {
            if (!read_number(v, 0, 0xFFFFFFFFul, &n))
                return fail("--seed wants a number from 0 to 4294967295", v);
            o->seed = (uint32_t)n;
            o->has_seed = true;
            ++i;
        } else if (strcmp(a, "--size") == 0) {
            if (!read_size(v, &o->width, &o->height))
                return fail("--size wants WIDTHxHEIGHT, each from 1 to 8192", v);
            ++i;
        } else if (strcmp(a, "--out") == 0 || strcmp(a, "--tex") == 0) {
            if (!v || !*v)
                return fail("missing a path after", a);
            (a[2] == 'o' ? o->out : o->tex_dir) = v;
            ++i;
        } else {
            return fail("unknown option", a);
        }
    }
    if (!o->out)
        return fail("--out is required", NULL);

    o->kind = output_kind_of(o->out);
    o->to = show_end_ms;
    o->crf = -1;
    o->jobs = (int)sysconf(_SC_NPROCESSORS_ONLN);
    if (ends_with(o->out, ".png")) {
        if (has_fps)
            return fail("--fps is for a directory or a video, not", o->out);
        if (sheet == has_time)
            return fail("a .png output wants exactly one of --time and --sheet", NULL);
        o->mode = sheet ? mode_sheet : mode_frame;
    } else {
        if (has_time || sheet)
            return fail("--time and --sheet write a .png, not", o->out);
        o->mode = is_video(o->kind) ? mode_video : mode_frames;
        if (!has_fps)
            o->fps = 30;
        o->rate = frame_rate{(uint32_t)o->fps, 1};
        if (o->mode == mode_video && (o->width % 2 != 0 || o->height % 2 != 0))
            return fail("a video wants an even width and height", NULL);
    }
    return 0;
}
