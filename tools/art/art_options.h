// art_options.h - the artwork options that vexa-art and vexa-capture share (--title,
// --subtitle, --line, --lines, --font, --caption-font, --photo-image): their names,
// values, help and refusals, and what each sets. A program adds the rows to its own
// getopt_long table, hands each one found to art_option_take, prints them with
// art_options_usage, and reads the queued lines with art_lines_read once the
// command line is known to be sound.
//
//   for (int i = 0; i < art_option_count; ++i)
//       longs.push_back({art_option_rows[i].name, required_argument, nullptr, 1000 + i});
//   ...
//   if (!art_option_take(code - 1000, optarg, &texts, &lines))  ... usage error:
//       art_option_rows[code - 1000].refusal
#pragma once

#include "vexa_art.h"

#include <cstdio>
#include <vector>

// One --line (the text) or --lines (a file, "-" for standard input).
struct art_line {
    const char* value;
    bool from_file;
};

struct art_option_row {
    const char* name;     // the long option, without "--"; each takes a value
    const char* value;    // the value's name in the usage
    const char* help;     // one line of usage, "%s" filled in from the constants
    const char* refusal;  // the usage error for a refused (empty) value
    const char* doc_key;  // the show document's key it sets (doc_keys.h)
    bool names_file;      // the value is a file read (a batch takes it from the list's directory)
};

enum { art_option_count = 7 };
extern const art_option_row art_option_rows[art_option_count];

// Takes option row's value: texts gets the captions, fonts and photo, lines the
// --line and --lines values in the order given. False when the value is refused.
bool art_option_take(int row, const char* value, art_texts* texts, std::vector<art_line>* lines);

// The rows as usage lines: the option from column 7, its help from column.
void art_options_usage(FILE* out, int column);

// The queued lines into texts, files read in turn. 0, or 1 after a message.
int art_lines_read(const std::vector<art_line>& lines, art_texts* texts, const char* program);
