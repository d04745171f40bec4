/* options.cpp - see options.h. The options are the rows of option_table;
   getopt_long's table, the short forms and the usage text are made from it.
   To add an option: a field in capture_options, a set_ function, a row. */
#include "options.h"
#include "art_options.h"
#include "cues.h"
#include "decimal.h"
#include "encode_args.h"
#include "output_file.h"
#include "timecode.h"
#include "show_times.h"
#include "usage.h"

#include <getopt.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

static void print_usage(bool to_stdout);

enum { max_side = 8192, max_jobs = 64, default_width = 1024, default_height = 768, min_tone_dbfs = -96 };

/* What the parser has seen so far, beyond the options themselves. */
struct parse_state {
    capture_options* o;
    bool has_time, sheet, has_crf, has_jobs, force, has_tone_level;
    const char* span_option;  // the last of --fps, --from, --to, --pop, --beep, --cues given, or NULL
    const char* layout_option;  // the first of --adapt, --fit, --crop given, or NULL
    const char* layout_clash;   // a second one, or NULL
    bool done;  // --help or --version answered
};

/* One option. letter is its short form (0: long only; only -o -t -s -h -V
   have one). value names its argument in the usage (NULL: a switch). help
   is its usage text, wrapped to fit 80 columns. set takes the
   value; when it refuses it, refusal and the value are reported. Ranges
   and defaults in the texts come from the constants the parser uses. */
struct option_text {
    std::string s;
    option_text(const char* c) : s(c ? c : "") {}
    option_text(std::string t) : s(std::move(t)) {}
    const char* c_str() const { return s.c_str(); }
};

struct option_row {
    const char* name;
    char letter;
    const char* value;
    option_text help;
    option_text refusal;  // empty for a switch
    bool (*set)(parse_state* s, const char* value);
};

static std::string num(unsigned long n)
{
    return std::to_string(n);
}

static std::string level_text(double dbfs)
{
    char text[32];
    snprintf(text, sizeof text, "%g", dbfs);
    return text;
}

/* A decimal number from lo to hi (leading zeros allowed) running up to the
   character stop; *rest is left just past it. */
static bool read_number_until(const char* text, char stop, unsigned long lo, unsigned long hi,
                              unsigned long* value, const char** rest)
{
    if (!text)
        return false;
    const char* end = strchr(text, stop);
    if (!end)
        return false;
    const char* digits = text;
    while (end - digits > 1 && *digits == '0')
        ++digits;
    uint64_t v;
    if (!read_decimal(digits, (size_t)(end - digits), 19, &v) || v < lo || v > hi)
        return false;
    *value = (unsigned long)v;
    *rest = end + (stop != '\0');
    return true;
}

/* A decimal number from lo to hi with nothing after it. */
static bool read_number(const char* text, unsigned long lo, unsigned long hi, unsigned long* value)
{
    const char* rest;
    return read_number_until(text, '\0', lo, hi, value, &rest);
}

/* WIDTHxHEIGHT, both sides read alike. */
static bool read_size(const char* text, int* width, int* height)
{
    unsigned long vw, vh;
    const char* rest;
    if (!read_number_until(text, 'x', 1, max_side, &vw, &rest) ||
        !read_number_until(rest, '\0', 1, max_side, &vh, &rest))
        return false;
    *width = (int)vw;
    *height = (int)vh;
    return true;
}

static bool set_out(parse_state* s, const char* v)
{
    s->o->out = v;
    return *v != '\0';
}

static bool set_time(parse_state* s, const char* v)
{
    unsigned long n;
    if (!read_number(v, 0, show_last_ms, &n))
        return false;
    s->o->time_ms = (uint32_t)n;
    s->has_time = true;
    return true;
}

static bool set_sheet(parse_state* s, const char*)
{
    s->sheet = true;
    return true;
}

static bool set_fps(parse_state* s, const char* v)
{
    s->span_option = "--fps";
    return parse_frame_rate(v, &s->o->rate);
}

static bool set_from(parse_state* s, const char* v)
{
    unsigned long n;
    s->span_option = "--from";
    if (!read_number(v, 0, show_last_ms, &n))
        return false;
    s->o->from = (uint32_t)n;
    return true;
}

static bool set_to(parse_state* s, const char* v)
{
    unsigned long n;
    s->span_option = "--to";
    if (!read_number(v, 1, show_end_ms, &n))
        return false;
    s->o->to = (uint32_t)n;
    return true;
}

static bool set_crf(parse_state* s, const char* v)
{
    unsigned long n;
    if (!read_number(v, 0, vp9_max_crf, &n))  // the widest; the kind's own range is checked later
        return false;
    s->o->crf = (int)n;
    s->has_crf = true;
    return true;
}

/* --adapt, --fit and --crop each name the whole layout: one at most. */
static bool set_layout(parse_state* s, stage_mode mode, const char* name)
{
    if (s->layout_option && !s->layout_clash && mode != s->o->layout)
        s->layout_clash = name;
    if (!s->layout_option)
        s->layout_option = name;
    s->o->layout = mode;
    return true;
}

static bool set_adapt(parse_state* s, const char*)
{
    return set_layout(s, stage_adapt, "--adapt");
}

static bool set_fit(parse_state* s, const char*)
{
    return set_layout(s, stage_fit, "--fit");
}

static bool set_crop(parse_state* s, const char*)
{
    return set_layout(s, stage_crop, "--crop");
}

static bool set_pop(parse_state* s, const char*)
{
    s->o->pop = true;
    s->span_option = "--pop";
    return true;
}

static bool set_beep(parse_state* s, const char*)
{
    s->o->beep = true;
    s->span_option = "--beep";
    return true;
}

/* A level in dBFS: min_tone_dbfs to 0, with up to two decimals (-20, -6.5, 0). */
static bool set_tone_level(parse_state* s, const char* v)
{
    const bool negative = *v == '-';
    const char* digits = v + negative;
    const char* dot = strchr(digits, '.');
    uint64_t whole, part = 0, scale = 1;
    if (!read_decimal(digits, dot ? (size_t)(dot - digits) : strlen(digits), 2, &whole))
        return false;
    if (dot) {
        const size_t places = strlen(dot + 1);
        if (!read_decimal(dot + 1, places, 2, &part))
            return false;
        scale = places == 1 ? 10 : 100;
    }
    const double level = (negative ? -1.0 : 1.0) * ((double)whole + (double)part / (double)scale);
    if (level > 0 || level < min_tone_dbfs)
        return false;
    s->o->tone_level = level;
    s->has_tone_level = true;
    return true;
}

static bool set_alpha(parse_state* s, const char*)
{
    s->o->alpha = true;
    return true;
}

static bool set_timecode(parse_state* s, const char* v)
{
    s->o->timecode = v;
    return true;
}

static bool set_cues(parse_state* s, const char* v)
{
    s->o->cues = v;
    s->span_option = "--cues";
    return cues_kind(v);
}

static bool set_jobs(parse_state* s, const char* v)
{
    unsigned long n;
    if (!read_number(v, 1, max_jobs, &n))
        return false;
    s->o->jobs = (int)n;
    s->has_jobs = true;
    return true;
}

static bool set_size(parse_state* s, const char* v)
{
    return read_size(v, &s->o->width, &s->o->height);
}

static bool set_seed(parse_state* s, const char* v)
{
    unsigned long n;
    if (!read_number(v, 0, UINT32_MAX, &n))
        return false;
    s->o->seed = (uint32_t)n;
    s->o->has_seed = true;
    return true;
}

static bool set_photo(parse_state* s, const char*)
{
    s->o->photo = true;
    return true;
}

static bool set_force(parse_state* s, const char*)
{
    s->force = true;
    return true;
}

/* A directory's path as messages show it: "a//b/" is "a/b". The texts
   stay for the program's life, as argv's do. */
static const char* tidy_dir(const char* path)
{
    static std::deque<std::string> kept;
    kept.push_back(tidy_path(path));
    return kept.back().c_str();
}

static bool set_tex(parse_state* s, const char* v)
{
    s->o->tex_dir = tidy_dir(v);
    return *v != '\0';
}

static bool set_batch(parse_state* s, const char* v)
{
    s->o->batch = v;
    return *v != '\0';
}

static bool set_shard(parse_state* s, const char* v)
{
    unsigned long k, n;
    const char* rest;
    if (!read_number_until(v, '/', 0, 1000000, &k, &rest) || !read_number(rest, 1, 1000000, &n) || k >= n)
        return false;
    s->o->shard = (unsigned)k;
    s->o->shards = (unsigned)n;
    return true;
}

static bool set_results(parse_state* s, const char* v)
{
    s->o->results = v;
    return *v != '\0';
}

static bool set_allow_paths(parse_state* s, const char*)
{
    s->o->allow_paths = true;
    return true;
}

static bool set_help(parse_state* s, const char*)
{
    print_usage(true);
    s->done = true;
    return true;
}

static bool set_version(parse_state* s, const char*)
{
    puts("vexa-capture " VEXA_VERSION);
    s->done = true;
    return true;
}

static const option_row option_table[] = {
    {"out", 'o', "PATH", "FRAME.png, SHEET.png, a video (.mp4 .mkv .webm .mov) or a directory\n(DIR/ or an existing one); the ending in any case",
     "--out wants a path", set_out},
    {"time", 't', "MS", "show time of the one frame, 0 to " + num(show_last_ms),
     "--time wants a show time from 0 to " + num(show_last_ms) + " ms", set_time},
    {"sheet", 0, NULL, "a 4x4 contact sheet of the show", NULL, set_sheet},
    {"fps", 0, "RATE", "frames per second of show time, " + num(min_fps) + " to " + num(max_fps) + " (default " +
     frame_rate_text(default_frame_rate) + "): 24, 12.5,\n30000/1001; 23.976, 29.97 and 59.94 are the NTSC rates (N000/1001)",
     "--fps wants a rate from " + num(min_fps) + " to " + num(max_fps) + " (60, 12.5, 29.97, 30000/1001)", set_fps},
    {"from", 0, "MS", "show time of the first frame (default 0)",
     "--from wants a show time from 0 to " + num(show_last_ms) + " ms", set_from},
    {"to", 0, "MS", "show time the frames stop before (default " + num(show_end_ms) + ", the end)",
     "--to wants a show time from 1 to " + num(show_end_ms) + " ms", set_to},
    {"crf", 0, "N", "video quality, lower is better: H.264 0-" + num(h264_max_crf) + " (default " +
     num(h264_default_crf) + "), VP9 0-" + num(vp9_max_crf) + "\n(default " + num(vp9_default_crf) + ")",
     "--crf wants a number from 0 to " + num(vp9_max_crf), set_crf},
    {"adapt", 0, NULL, "lay the show out for the frame's shape, 9:21 to 21:9 (the default)", NULL, set_adapt},
    {"fit", 0, NULL, "the classic 4:3 picture whole inside the frame, black bars beside it", NULL, set_fit},
    {"crop", 0, NULL, "the classic picture across the frame's width, as the window shows it\n(a wide frame crops its top and bottom)", NULL, set_crop},
    {"pop", 0, NULL, "a sound track, " + num(pop_sample_rate / 1000) + " kHz: a " + num(pop_tone_hz / 1000) +
     " kHz tone for one frame on the \"2\" card\n(AAC, PCM in .mov, Opus in .webm, DIR/audio.wav)", NULL, set_pop},
    {"beep", 0, NULL, "a " + num(pop_tone_hz / 1000) + " kHz tone for one frame at the start of each second of the leader\n(with --pop, one tone where both fall)", NULL, set_beep},
    {"tone-level", 0, "DBFS", "the peak of the pop and the beeps, " + level_text(min_tone_dbfs) + " to 0 (default " +
     level_text(default_tone_dbfs) + ")",
     "--tone-level wants a level from " + level_text(min_tone_dbfs) + " to 0 dBFS (-20, -6.5)", set_tone_level},
    {"alpha", 0, NULL, "the closing without a backdrop, with straight alpha, fading to\ntransparent (.mov ProRes 4444, .webm VP9, PNG; the leader stays opaque)",
     NULL, set_alpha},
    {"timecode", 0, "TC", "start timecode HH:MM:SS:FF, HH:MM:SS;FF drop-frame at 29.97 and 59.94\n(.mov .mp4: a timecode track, .mkv: a tag; default 00:00:00:00)",
     NULL, set_timecode},
    {"cues", 0, "FILE", "the captions and strips as timed text, FILE.vtt (WebVTT) or FILE.srt\n(SubRip), times from the first frame",
     "--cues wants a file ending in .vtt or .srt", set_cues},
    {"jobs", 0, "N", "processes drawing and compressing PNG frames, 1 to " + num(max_jobs) +
     "; with --batch\nthe rows rendered at once (default: the number of cores)",
     "--jobs wants a number from 1 to " + num(max_jobs), set_jobs},
    {"size", 's', "WxH", "frame size in pixels (default " + num(default_width) + "x" + num(default_height) +
     "; even for video;\nthe contact sheet shows frames at a quarter of it)",
     "--size wants WIDTHxHEIGHT, each from 1 to " + num(max_side), set_size},
    {"seed", 0, "N", "layout of the caption strips (default: from the clock)",
     "--seed wants a number from 0 to " + num(UINT32_MAX), set_seed},
    {"photo", 0, NULL, "show the photo backdrop (as VEXA_PHOTO does)", NULL, set_photo},
    {"force", 0, NULL, "replace a directory's set (frame-*.png, audio.wav)\nonce the new one is complete; without it, a directory\nholding one is refused; with --batch: redo the rows\nalready done", NULL,
     set_force},
    {"tex", 0, "DIR", "the artwork: DIR/tex when that is a directory, else DIR\n(default: ./tex, else beside the program, else the\ninstalled ../share/vexa/tex beside it)", "--tex wants a directory", set_tex},
    {"batch", 0, "LIST", "one output per row of a list (.csv with a header row, or .jsonl);\nthe other options are every row's defaults",
     "--batch wants a .csv or .jsonl list", set_batch},
    {"shard", 0, "K/N", "with --batch: only the rows whose index is K modulo N",
     "--shard wants K/N, K from 0 to N-1", set_shard},
    {"results", 0, "FILE", "with --batch: the results file (default LIST.results.jsonl)",
     "--results wants a file", set_results},
    {"allow-paths", 0, NULL, "with --batch: outputs may lie outside the list's directory", NULL,
     set_allow_paths},
    {"help", 'h', NULL, "this text", NULL, set_help},
    {"version", 'V', NULL, "the version", NULL, set_version},
};
enum { option_rows = sizeof option_table / sizeof option_table[0] };

/* getopt_long's code for row i: its letter, or a number past every char.
   The artwork options (art_options.h) follow from art_code on. */
enum { art_code = 1024 };

static int option_code(int i)
{
    return option_table[i].letter ? option_table[i].letter : 256 + i;
}

static const option_row* row_of_code(int code)
{
    for (int i = 0; i < option_rows; ++i)
        if (option_code(i) == code)
            return &option_table[i];
    return NULL;
}

int option_arity(const char* name)
{
    for (const option_row& r : option_table)
        if (strcmp(r.name, name) == 0)
            return r.value ? 1 : 0;
    for (const art_option_row& r : art_option_rows)
        if (strcmp(r.name, name) == 0)
            return 1;
    return -1;
}

static const char synopsis[] =
    "Usage: vexa-capture --time MS --out FRAME.png [OPTION]...\n"
    "  or:  vexa-capture --out DIR/ [OPTION]...\n"
    "  or:  vexa-capture --out SHOW.mp4|.mkv|.webm|.mov [OPTION]...\n"
    "  or:  vexa-capture --sheet --out SHEET.png [OPTION]...\n"
    "  or:  vexa-capture --batch LIST [--jobs N] [--shard K/N] [OPTION]...\n"
    "Renders the show offscreen: one frame, every frame as DIR/frame-NNNNN.png,\n"
    "a video (through ffmpeg), a 4x4 contact sheet, or one output per row of a\n"
    "list.\n"
    "\n"
    "Options:\n";

/* Writes text from column `column` on, its words wrapped to the width every
   help text keeps within. */
static void put_wrapped(FILE* out, const char* text, int column)
{
    int at = column;
    for (const char* p = text; *p;) {
        if (*p == ' ' || *p == '\n') {
            ++p;
            continue;
        }
        const char* end = p;
        while (*end && *end != ' ' && *end != '\n')
            ++end;
        const int word = (int)(end - p);
        if (at > column && at + 1 + word > help_columns) {
            fprintf(out, "\n%*s", column, "");
            at = column;
        } else if (at > column) {
            fputc(' ', out);
            ++at;
        }
        fwrite(p, 1, (size_t)word, out);
        at += word;
        p = end;
    }
    fputc('\n', out);
}

static void print_usage(bool to_stdout)
{
    FILE* out = to_stdout ? stdout : stderr;
    fputs(synopsis, out);
    const int column = 27;  // where the help text starts
    for (const option_row& r : option_table) {
        std::string left = r.letter ? std::string("  -") + r.letter + ", --" : std::string("      --");
        left += r.name;
        if (r.value)
            left += std::string(" ") + r.value;
        left.resize(left.size() + 2 > (size_t)column ? left.size() + 2 : (size_t)column, ' ');
        fputs(left.c_str(), out);
        put_wrapped(out, r.help.c_str(), column);
    }
    fputs("artwork built on the fly (see vexa-art; --photo-image also shows it):\n", out);
    art_options_usage(out, column);
}

/* A usage error: one line naming the fault, and where to find the usage. */
static int fail(const char* what, const char* arg)
{
    return usage_error("vexa-capture", arg ? (std::string(what) + ": " + arg).c_str() : what);
}

int parse_options(int argc, char** argv, capture_options* o)
{
    *o = capture_options{};
    o->width = default_width;
    o->height = default_height;
    o->rate = default_frame_rate;
    o->to = show_end_ms;
    o->crf = -1;
    o->tone_level = default_tone_dbfs;
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    o->jobs = cores < 1 ? 1 : cores > max_jobs ? max_jobs : (int)cores;
    o->shards = 1;
    o->timeline = classic_timeline();
    parse_state s = {o, false, false, false, false, false, false, NULL, NULL, NULL, false};

    std::string letters = ":";  // ':' first: a missing value returns ':', and getopt stays quiet
    std::vector<option> longs;
    for (int i = 0; i < option_rows; ++i) {
        const option_row& r = option_table[i];
        if (r.letter)
            letters += r.value ? std::string(1, r.letter) + ":" : std::string(1, r.letter);
        longs.push_back({r.name, r.value ? required_argument : no_argument, NULL, option_code(i)});
    }
    for (int i = 0; i < art_option_count; ++i)
        longs.push_back({art_option_rows[i].name, required_argument, NULL, art_code + i});
    longs.push_back({NULL, 0, NULL, 0});

    opterr = 0;
    optind = 0;  // start afresh, however often we are called
    int code;
    while ((code = getopt_long(argc, argv, letters.c_str(), longs.data(), NULL)) != -1) {
        const char* given = argv[optind - 1];  // the word that held the option, for messages
        if (code == '?') {
            const option_row* r = row_of_code(optopt);
            if (r && !r->value)
                return fail("option takes no value", given);
            if (optopt > 0 && optopt < 256)
                return fail("unknown option", (std::string("-") + (char)optopt).c_str());
            return fail("unknown option", given);
        }
        const int art_row = (code == ':' ? optopt : code) - art_code;
        if (art_row >= 0 && art_row < art_option_count) {
            if (code == ':' || !art_option_take(art_row, optarg, &o->art, &o->art_lines))
                return fail(art_option_rows[art_row].refusal, code == ':' ? NULL : optarg);
            o->own_art = true;
            o->given.push_back({art_option_rows[art_row].name, optarg});
            continue;
        }
        const option_row* r = row_of_code(code == ':' ? optopt : code);
        if (!r)
            return fail("unknown option", given);
        if (code == ':')
            return fail(r->refusal.c_str(), NULL);
        if (!r->set(&s, optarg))
            return fail(r->refusal.c_str(), optarg);
        if (s.done)
            return -1;
        o->given.push_back({r->name, r->value ? optarg : NULL});
    }
    if (optind < argc)
        return fail("unexpected argument", argv[optind]);
    if (s.layout_clash)
        return fail((std::string(s.layout_option) + " and " + s.layout_clash + " exclude each other").c_str(), NULL);
    if (o->art.photo)
        o->photo = true;  // --photo-image shows the backdrop it makes
    if (o->batch) {  // the rest is checked row by row, by each row's own run
        o->force = s.force;
        return o->out ? fail("with --batch the outputs come from the list's out column", NULL) : 0;
    }
    if (o->shards > 1 || o->results || o->allow_paths)
        return fail("--shard, --results and --allow-paths are for --batch", NULL);
    if (!o->out)
        return fail("--out is required", NULL);
    if (o->own_art && o->tex_dir)
        return fail("--tex and the artwork options (--title, --line, --photo-image ...) exclude each other", NULL);
    size_t lines = 0;
    for (const art_line& l : o->art_lines)
        lines += !l.from_file;
    if (lines > art_max_lines)
        return fail(("at most " + std::to_string(art_max_lines) + " lines are shown, " + std::to_string(lines) + " given").c_str(), NULL);

    o->kind = output_kind_of(o->out);
    if (o->kind == kind_unknown)
        return fail("--out names no kind of output (.png .mp4 .mkv .webm .mov, or DIR/)", o->out);
    if (s.force && o->kind != kind_directory)
        return fail("--force is for a directory of frames, not", o->out);
    o->force = s.force;
    if (o->kind == kind_png) {
        if (s.span_option)
            return fail((std::string(s.span_option) + " is for a directory or a video, not").c_str(), o->out);
        if (s.sheet == s.has_time)
            return fail("a .png output wants exactly one of --time and --sheet", NULL);
        o->mode = s.sheet ? mode_sheet : mode_frame;
    } else {
        if (s.has_time || s.sheet)
            return fail("--time and --sheet write a .png, not", o->out);
        o->mode = o->kind == kind_directory ? mode_frames : mode_video;
        if (o->from >= o->to)
            return fail("--from must come before --to", NULL);
        if (o->mode == mode_video && (o->width % 2 != 0 || o->height % 2 != 0))
            return fail("a video wants an even width and height", NULL);
    }
    int lo, hi;
    if (s.has_crf && !crf_range(o->kind, &lo, &hi))
        return fail("--crf is for .mp4, .mkv and .webm, not", o->out);
    if (s.has_crf && (o->crf < lo || o->crf > hi))
        return fail(((o->kind == kind_webm ? "--crf for VP9 is " : "--crf for H.264 is ") + num((unsigned long)lo) +
                     " to " + num((unsigned long)hi)).c_str(),
                    std::to_string(o->crf).c_str());
    if (s.has_jobs && o->mode != mode_frames)
        return fail("--jobs is for a directory of frames, not", o->out);
    if (s.has_tone_level && !o->pop && !o->beep)
        return fail("--tone-level is for --pop and --beep", NULL);
    if (o->alpha && (o->kind == kind_mp4 || o->kind == kind_mkv))
        return fail("--alpha wants .mov, .webm, .png or a directory (H.264 has no alpha), not", o->out);
    if (o->alpha && s.sheet)
        return fail("--alpha is not for the contact sheet", NULL);
    if (o->alpha && o->photo)
        return fail("--alpha draws no backdrop: not with --photo or --photo-image", NULL);
    const bool takes_timecode = o->kind == kind_mov || o->kind == kind_mp4 || o->kind == kind_mkv;
    if (o->timecode && !takes_timecode)
        return fail("--timecode is for .mov, .mp4 and .mkv, not", o->out);
    if (o->timecode) {
        if (const char* why = timecode_check(o->timecode, o->rate))
            return fail(why, o->timecode);
    } else if (int fps; takes_timecode && timecode_rate(o->rate, &fps)) {
        o->timecode = "00:00:00:00";
    }
    if (o->cues && o->tex_dir)
        return fail("--cues needs the artwork's words, which --tex does not tell", NULL);
    if (o->cues)
        o->own_art = true;  // the default artwork, when no option changes it: its words are known
    return 0;
}
