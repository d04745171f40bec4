/* option_table.cpp - see options.h and option_table.h. The rows of every
   concern (options_*.cpp), in the order of their places, make getopt_long's
   table, the short forms and the usage text; the checks below run in
   their order once every option is read. */
#include "option_table.h"
#include "art_options.h"
#include "decimal.h"
#include "show_times.h"
#include "usage.h"
#include "audio_pop.h"

#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static void print_usage(bool to_stdout);

/* Every concern's rows; a new concern's file adds its group here. */
static const option_group* const option_groups[] = {&output_options, &look_options,  &show_options,
                                                    &sound_options,  &timing_options, &batch_options,
                                                    &program_options};

/* The checks of the options together, in the order they run: the first
   that refuses (or accepts) ends them. */
static const option_check option_checks[] = {
    check_layout, check_photo, check_timing, check_show,  check_batch, check_out_given, check_artwork,
    check_kind,   check_crf,   check_jobs,   check_tones, check_music, check_alpha,     check_timecode,
    check_cues,
};

std::string num(unsigned long n)
{
    return std::to_string(n);
}

std::string level_text(double dbfs)
{
    char text[32];
    snprintf(text, sizeof text, "%g", dbfs);
    return text;
}

bool read_number_until(const char* text, char stop, unsigned long lo, unsigned long hi, unsigned long* value,
                       const char** rest)
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

bool read_number(const char* text, unsigned long lo, unsigned long hi, unsigned long* value)
{
    const char* rest;
    return read_number_until(text, '\0', lo, hi, value, &rest);
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

static const option_row program_rows[] = {
    {1000, "help", 'h', NULL, "this text", NULL, set_help, nullptr, file_none, true},
    {1010, "version", 'V', NULL, "the version", NULL, set_version, nullptr, file_none, true},
};
const option_group program_options = {program_rows, sizeof program_rows / sizeof program_rows[0]};

/* Every row, in the order of their places (made once, on first use: the
   rows' texts are made as their files start). */
static const std::vector<const option_row*>& option_table(void)
{
    static std::vector<const option_row*> table;
    if (table.empty()) {
        for (const option_group* g : option_groups)
            for (int i = 0; i < g->count; ++i)
                table.push_back(&g->rows[i]);
        std::stable_sort(table.begin(), table.end(),
                         [](const option_row* a, const option_row* b) { return a->place < b->place; });
    }
    return table;
}

/* getopt_long's code for row i: its letter, or a number past every char.
   The artwork options (art_options.h) follow from art_code on. */
enum { art_code = 1024 };

static int option_code(int i)
{
    const option_row* r = option_table()[(size_t)i];
    return r->letter ? r->letter : 256 + i;
}

static const option_row* row_of_code(int code)
{
    const std::vector<const option_row*>& table = option_table();
    for (size_t i = 0; i < table.size(); ++i)
        if (option_code((int)i) == code)
            return table[i];
    return NULL;
}

option_use option_use_of(const char* name)
{
    for (const option_row* r : option_table())
        if (strcmp(r->name, name) == 0)
            return {true, r->value != NULL, r->file, r->whole_batch};
    for (const art_option_row& r : art_option_rows)
        if (strcmp(r.name, name) == 0)
            return {true, true, r.names_file ? file_read : file_none, false};
    return {false, false, file_none, false};
}

const char* option_doc_key(const char* name)
{
    for (const option_row* r : option_table())
        if (strcmp(r->name, name) == 0)
            return r->doc_key;
    for (const art_option_row& r : art_option_rows)
        if (strcmp(r.name, name) == 0)
            return r.doc_key;
    return NULL;
}

static const char synopsis[] =
    "Usage: vexa-capture --time MS --out FRAME.png [OPTION]...\n"
    "  or:  vexa-capture --out DIR/ [OPTION]...\n"
    "  or:  vexa-capture --out SHOW.mp4|.mkv|.webm|.mov [OPTION]...\n"
    "  or:  vexa-capture --sheet --out SHEET.png [OPTION]...\n"
    "  or:  vexa-capture --batch LIST [--jobs N] [--shard K/N] [OPTION]...\n"
    "  or:  vexa-capture [OPTION]... --save-show FILE.vexa.json|FILE.vexa\n"
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
    for (const option_row* r : option_table()) {
        std::string left = r->letter ? std::string("  -") + r->letter + ", --" : std::string("      --");
        left += r->name;
        if (r->value)
            left += std::string(" ") + r->value;
        left.resize(left.size() + 2 > (size_t)column ? left.size() + 2 : (size_t)column, ' ');
        fputs(left.c_str(), out);
        put_wrapped(out, r->help.c_str(), column);
    }
    fputs("artwork built on the fly (see vexa-art; --photo-image also shows it):\n", out);
    art_options_usage(out, column);
}

check_result option_fail(const char* what, const char* arg)
{
    usage_error("vexa-capture", arg ? (std::string(what) + ": " + arg).c_str() : what);
    return check_refused;
}

/* A usage error while reading the options: status 2. */
static int fail(const char* what, const char* arg)
{
    option_fail(what, arg);
    return usage_status;
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
    parse_state s = {o, false, false, false, false, false, false, NULL, NULL, NULL, NULL, false};

    const std::vector<const option_row*>& table = option_table();
    std::string letters = ":";  // ':' first: a missing value returns ':', and getopt stays quiet
    std::vector<option> longs;
    for (size_t i = 0; i < table.size(); ++i) {
        const option_row& r = *table[i];
        if (r.letter)
            letters += r.value ? std::string(1, r.letter) + ":" : std::string(1, r.letter);
        longs.push_back({r.name, r.value ? required_argument : no_argument, NULL, option_code((int)i)});
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
    for (option_check check : option_checks) {
        const check_result c = check(&s);
        if (c != check_next)
            return c == check_refused ? usage_status : 0;
    }
    return 0;
}
