/* option_table.h - the rows vexa-capture's command line is made of, for the
   files that hold them (options_*.cpp) and the one that reads them
   (option_table.cpp); outside those, options.h is the interface.

   Each concern keeps its options together in a file of its own: the rows
   (name, short form, value, help, refusal), the set_ function each row calls
   with its value, and the checks that look at the options together once all
   are read. getopt_long's table, the short forms, the usage text and
   option_use_of are all made from the rows.

   To add an option: a field in capture_options (options.h), a set_ function
   and a row in its concern's file; a check when it depends on others (listed
   in option_table.cpp's option_checks, in the order they run). A new concern:
   a file with its option_group, listed in option_table.cpp's option_groups. */
#ifndef VEXA_CAPTURE_OPTION_TABLE_H
#define VEXA_CAPTURE_OPTION_TABLE_H

#include "options.h"

#include <string>
#include <utility>

enum { max_side = 8192, max_jobs = 64, default_width = 1024, default_height = 768, min_tone_dbfs = -70 };

/* What the parser has seen so far, beyond the options themselves. */
struct parse_state {
    capture_options* o;
    bool has_time, sheet, has_crf, has_jobs, force, has_tone_level;
    const char* span_option;  // the last of --fps, --from, --to, --pop, --beep, --cues given, or NULL
    const char* layout_option;  // the first of --adapt, --fit, --crop given, or NULL
    const char* layout_clash;   // a second one, or NULL
    const char* music_option;   // the first of --music-start, --music-level, --fade-in, --fade-out, --no-loop, or NULL
    bool done;  // --help or --version answered
    // --time, --from and --to as given (checked against the show's length
    // once its timing is known), and --part's value; NULL when not given
    const char* time_text = nullptr;
    const char* from_text = nullptr;
    const char* to_text = nullptr;
    const char* part = nullptr;
};

/* A help or refusal text: a literal, or one made from the constants the
   parser uses (ranges, defaults). */
struct option_text {
    std::string s;
    option_text(const char* c) : s(c ? c : "") {}
    option_text(std::string t) : s(std::move(t)) {}
    const char* c_str() const { return s.c_str(); }
};

/* One option. place orders the rows in the usage (rows are listed by
   place, whichever file holds them; places go in tens, to leave room).
   letter is its short form (0: long only; only -o -t -s -h -V have one).
   value names its argument in the usage (NULL: a switch). help is its usage
   text, wrapped to fit 80 columns. set takes the value; when it refuses it,
   refusal and the value are reported. doc_key is the show document's key
   this option sets, or nullptr for output-only options. file says whether
   the value names a file the run reads or writes (a batch takes such a
   cell from the list's directory, and confines what is written to it);
   whole_batch, that with --batch the option steers the batch, so that it
   is no column of a list and no row's run is given it. */
struct option_row {
    int place;
    const char* name;
    char letter;
    const char* value;
    option_text help;
    option_text refusal;  // empty for a switch
    bool (*set)(parse_state* s, const char* value);
    const char* doc_key = nullptr;
    option_file file = file_none;
    bool whole_batch = false;
};

/* A concern's rows, as its file gives them. */
struct option_group {
    const option_row* rows;
    int count;
};

extern const option_group output_options;  // options_output.cpp: what is written, its span and rate
extern const option_group look_options;    // options_look.cpp: layout, backdrop, artwork, alpha
extern const option_group show_options;    // options_show.cpp: --show, --save-show
extern const option_group sound_options;   // options_sound.cpp: the pop and the beeps
extern const option_group batch_options;   // options_batch.cpp: --batch and its own options
extern const option_group timing_options;  // options_timing.cpp: the leader's counts, the closing, credits, --part
extern const option_group program_options; // option_table.cpp: --help, --version

/* A check of the options together, once every one is read: check_next to
   go on to the next check, check_accept to accept the command line as it
   stands, or check_refused after option_fail's message. */
enum check_result { check_next, check_accept, check_refused };
typedef check_result (*option_check)(parse_state* s);

check_result check_layout(parse_state* s);     // options_look.cpp
check_result check_music(parse_state* s);      // options_sound.cpp
check_result check_photo(parse_state* s);
check_result check_show(parse_state* s);       // options_show.cpp
check_result check_timing(parse_state* s);     // options_timing.cpp
check_result check_batch(parse_state* s);      // options_batch.cpp
check_result check_out_given(parse_state* s);  // options_output.cpp
check_result check_artwork(parse_state* s);    // options_look.cpp
check_result check_kind(parse_state* s);       // options_output.cpp
check_result check_crf(parse_state* s);
check_result check_jobs(parse_state* s);
check_result check_tones(parse_state* s);      // options_sound.cpp
check_result check_alpha(parse_state* s);      // options_look.cpp
check_result check_timecode(parse_state* s);   // options_output.cpp
check_result check_cues(parse_state* s);

/* A usage error: one line naming the fault (and arg, when not NULL), and
   where to find the usage; returns check_refused. */
check_result option_fail(const char* what, const char* arg);
inline check_result option_fail(const std::string& what, const char* arg)
{
    return option_fail(what.c_str(), arg);
}

/* The readers the rows share. */
std::string num(unsigned long n);
std::string level_text(double dbfs);
/* A decimal number from lo to hi (leading zeros allowed) running up to the
   character stop; *rest is left just past it. */
bool read_number_until(const char* text, char stop, unsigned long lo, unsigned long hi, unsigned long* value,
                       const char** rest);
/* The longest show a document can ask for, ms: the bound --time, --from and
   --to are read within before the show's own length is known. */
enum : unsigned long { longest_show_ms = 4000000000ul };
/* A decimal number from lo to hi with nothing after it. */
bool read_number(const char* text, unsigned long lo, unsigned long hi, unsigned long* value);

#endif
