/* options.h - the command line of vexa-capture.

   parse_options fills a capture_options from argv (getopt_long: --opt
   value, --opt=value, short forms -o -t -s -h -V). It returns 0 when the
   options make sense; 2 after one line saying what is wrong and a pointer
   to --help on standard error; -1 after answering --help (the usage) or
   --version on standard output. The mode follows from the kind of --out
   (output_kind.h), which must be one:

     NAME.png with --time MS   one frame             (mode_frame)
     NAME.png with --sheet     the contact sheet     (mode_sheet)
     .mp4 .mkv .webm .mov      a video via ffmpeg    (mode_video)
     DIR/ or a directory       a directory of PNGs   (mode_frames)

   The artwork options shared with vexa-art (art_options.h: --title
   --subtitle --line --lines --font --caption-font --photo-image) set own_art:
   the artwork is then built on the fly (vexa_art.h) instead of loaded from
   --tex.

   --batch LIST renders the rows of a list instead (batch.h): --out then
   comes from the list, the other options are every row's defaults, and
   given holds them in the order given. option_use_of tells a batch what a
   column's name is among the options (option_use). */
#ifndef VEXA_CAPTURE_OPTIONS_H
#define VEXA_CAPTURE_OPTIONS_H

#include "output_kind.h"
#include "sequence.h"
#include "art_options.h"
#include "show_doc.h"
#include "show_timeline.h"
#include "stage.h"

#include <cstdint>
#include <vector>

enum capture_mode { mode_frame, mode_frames, mode_video, mode_sheet };
enum capture_part { part_whole, part_leader, part_closing };

/* An option as given: its long name, and its value (NULL for a switch). */
struct given_option {
    const char* name;
    const char* value;
};

struct capture_options {
    capture_mode mode;
    const char* out;      // output file or directory
    const char* tex_dir;  // --tex DIR as given (art_dir.h), or NULL
    int width, height;    // frame size in pixels
    uint32_t time_ms;     // mode_frame: the show time
    bool has_seed;
    uint32_t seed;        // strip layout; from the clock when !has_seed
    bool photo;           // show the photo backdrop (also set by --photo-image)
    output_kind kind;     // what the name of --out asks for
    frame_rate rate;      // mode_frames, mode_video: the exact rate
    uint32_t from, to;    // mode_frames, mode_video: the span of show time, [from, to)
    int crf;              // mode_video: the quality, -1 for the codec's default here
    stage_mode layout;    // --adapt (default), --fit or --crop (stage.h)
    bool pop;             // mode_frames, mode_video: the sync pop's sound track
    int jobs;             // mode_frames: processes drawing and compressing
    bool own_art;         // an artwork option was given
    art_texts art;        // the artwork's words, fonts and photo; lines come from art_lines
    std::vector<art_line> art_lines;  // --line TEXT and --lines FILE, in the order given
    bool force;           // mode_frames: replace the frames already in the directory
    const char* batch;    // --batch LIST, or NULL
    unsigned shard, shards;     // --shard K/N: the rows whose index is K modulo N (0/1: all)
    const char* results;  // --results FILE, or NULL for the default beside the list
    bool allow_paths;     // outputs may lie outside the list's directory
    std::vector<given_option> given;  // the options as given, in order
    bool alpha;           // the closing as an overlay: straight alpha, no backdrop (alpha.h)
    const char* timecode; // mode_video .mov .mp4 .mkv: the start timecode, or NULL at rates without
    bool beep;            // mode_frames, mode_video: a beep at each second of the leader
    double tone_level;    // the pop's and the beeps' peak, dBFS
    const char* cues;     // mode_frames, mode_video: the words as WebVTT or SubRip, or NULL
    const char* show;     // --show FILE: the show document (capture_show.h), or NULL
    const char* save_show;  // --save-show FILE: the document written for these options, or NULL
    show_doc doc;         // the show: its timing, credits and sound (--music and its start, level, fades, loop)
    const char* credits_file;  // --credits FILE, read into doc.credits before drawing, or NULL
    show_timeline timeline;  // worked out from doc once the options are read
    bool time_given, from_given, to_given;  // given; else to is the show's end
    capture_part part;    // --part: from and to span the leader or the closing
};

int parse_options(int argc, char** argv, capture_options* options);
/* What a long option is to a batch's list: whether there is one of that
   name, whether it takes a value, whether the value names a file the run
   reads or writes (besides --out, which every row has), and whether with
   --batch it steers the whole batch rather than a row. */
enum option_file { file_none, file_read, file_written };
struct option_use {
    bool known;
    bool takes_value;
    option_file file;
    bool whole_batch;
};
option_use option_use_of(const char* name);
/* The show document's key an option (or batch column) sets, from its row's
   doc_key (doc_keys.h); NULL for an output-only or unknown one. */
const char* option_doc_key(const char* name);
/* Works out o->timeline from o->doc (again, once its credits are read), the
   span --part or the default --to ask for, and with check_times holds
   --time, --from and --to to the show's length. 0, or 2 after a usage
   error's line. */
int capture_settle_timeline(capture_options* o, bool check_times);

#endif
