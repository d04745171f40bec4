// art_options.cpp - the artwork options of vexa-art and vexa-capture. See
// art_options.h.
#include "art_options.h"

#include <string>

const art_option_row art_option_rows[art_option_count] = {
    {"title", "TEXT", "the first closing caption (default \"%s\")", "--title wants a text", "title", false},
    {"subtitle", "TEXT", "the second closing caption", "--subtitle wants a text", "subtitle", false},
    {"line", "TEXT", "a caption strip; repeat for up to %s, in order", "--line wants a text", "lines", false},
    {"lines", "FILE", "strips from a UTF-8 file, one a line ('-': stdin)",
     "--lines wants a file, or - for standard input", "lines", true},
    {"font", "FILE", "the strips' font", "--font wants a font file", "look.lines.font", true},
    {"caption-font", "FILE", "both captions' font", "--caption-font wants a font file",
     "look.title.font look.subtitle.font", true},
    {"photo-image", "IMAGE", "a PNG or JPEG made into the square backdrop", "--photo-image wants a PNG or JPEG file",
     "photo.file", true},
};

bool art_option_take(int row, const char* value, art_texts* texts, std::vector<art_line>* lines)
{
    switch (row) {
    case 0: texts->title = value; return true;
    case 1: texts->subtitle = value; return true;
    case 2: lines->push_back({value, false}); return true;
    case 3: lines->push_back({value, true}); return *value != '\0';
    case 4: texts->font = value; return *value != '\0';
    case 5: texts->caption_font = value; return *value != '\0';
    case 6: texts->photo = value; return *value != '\0';
    default: return false;
    }
}

void art_options_usage(FILE* out, int column)
{
    // What a help text's "%s" stands for, row by row.
    const std::string fills[art_option_count] = {art_default_title, "", std::to_string(art_max_lines)};
    for (int i = 0; i < art_option_count; ++i) {
        const art_option_row& r = art_option_rows[i];
        const std::string left = std::string("      --") + r.name + " " + r.value;
        std::fprintf(out, "%-*s", column, (left + "  ").c_str());
        std::fprintf(out, r.help, fills[i].c_str());
        std::fputc('\n', out);
    }
}

int art_lines_read(const std::vector<art_line>& lines, art_texts* texts, const char* program)
{
    for (const art_line& l : lines) {
        if (!l.from_file) {
            texts->lines.push_back(l.value);
            texts->lines_set = true;
        } else if (art_read_lines(l.value, texts, program) != 0) {
            return 1;
        }
    }
    return 0;
}
