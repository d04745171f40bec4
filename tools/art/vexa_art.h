// vexa_art.h - makes a complete artwork directory for the show from a person's own
// words and picture: the library behind the vexa-art program, for any program that
// wants to build artwork on the fly (link the vexa_art library).
//
//   art_texts texts;                       // every field unset: the default artwork
//   texts.title = "Danke";
//   texts.lines = {"bis bald"};  texts.lines_set = true;
//   texts.photo = "trip.jpg";
//   if (art_write("/tmp/show", &texts, "vexa-capture") != 0)  ... one line already on stderr
//
// Messages go to standard error as "<program>: ...", one line each.
#pragma once

#include "show_doc.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct show_doc;

// The strips the show ever shows; the sheet holds one more that it never does.
enum { art_max_lines = 7 };
// The first caption when none is given.
extern const char* const art_default_title;

struct art_texts {
    std::optional<std::string> title;     // first caption, UTF-8; unset: the default
    std::optional<std::string> subtitle;  // second caption; unset: the default
    bool lines_set = false;          // true: lines replace the default strips
    std::vector<std::string> lines;  // the strips in order, at most art_max_lines; "" leaves one empty
    const char* photo = nullptr;     // PNG or JPEG for the backdrop; null: the painted sunset
    const char* font = nullptr;      // font file for the strips; null: DejaVu Sans Bold
    const char* caption_font = nullptr;  // font file for both captions; null: DejaVu Serif (Bold for the title)
    const char* font_dir = nullptr;  // where the DejaVu faces are; null: $VEXA_ART_FONT_DIR, else the system's
    // The show's document; null: the classic show. Its look (styles, card
    // colours, the photo's framing) is painted in; its timing and credits add
    // the extra files they need (art_files.h): the card's ground and the
    // numeral atlas for numbers without a card, the credit sheets.
    const show_doc* doc = nullptr;
    // The file the credits were read from, for naming a refused line ("FILE:
    // line N: ..."); null: "credits line N: ...".
    const char* credits_file = nullptr;
};

// The words the artwork of texts shows, defaults filled in: the first caption,
// the second, then the art_max_lines strips the show shows ("" for an empty one).
std::vector<std::string> art_shown_words(const art_texts* texts);

// Appends the lines of a UTF-8 file ("-": standard input) to texts->lines and sets
// lines_set; a final line without newline counts, a trailing "\r" is dropped. A
// file must be a regular file (a FIFO or device is refused, never waited on) and
// hold no more than the strips could show. 0, or 1 after a message naming the file.
int art_read_lines(const char* path, art_texts* texts, const char* program);

// Why utf8 cannot be set as one line of text, named in the message as what ("the
// title", "line 2"); "" when it can, with its characters in *decoded when given.
// Refused: bytes that are not UTF-8, and the characters no caption shows: the C0
// and C1 controls (NUL, the line ends and NEL among them), DEL, and the line and
// paragraph separators U+2028 and U+2029. A program that takes texts from a list or
// a file checks each with it before anything is made.
std::string art_text_refusal(const std::string& utf8, const std::string& what, std::u32string* decoded = nullptr);

// One picture of the artwork: its file name and the whole BMP file.
struct art_image {
    std::string name;
    std::vector<uint8_t> bytes;
};

// A message about the person's input. field names what it concerns: "title",
// "subtitle", "line 1" ... "line 8", "lines", "photo", "font", "caption font", or
// "" for none; text is the message as vexa-art prints it, without the program name.
struct art_note {
    std::string field;
    std::string text;
};

// Paints the twelve pictures in memory, in catalogue order (art_files.h), the same
// bytes art_write writes. Characters no face has add a note each and the text is
// still set. 0; or 1 with images empty and the refusal as the last note.
int art_make(const art_texts* texts, std::vector<art_image>* images, std::vector<art_note>* notes);

// The twelve pictures one at a time, for a host that shows the first before the
// rest are painted (the page): order lists catalogue indices (art_files.h), and
// done(index, image) gets each picture as soon as it is made, the same bytes as
// art_make's. A document's extra files are not among them. 0; or 1 with the
// refusal as the last note (the pictures before it already handed on).
int art_make_each(const art_texts* texts, const std::vector<int>& order,
                  const std::function<void(int index, const art_image& image)>& done, std::vector<art_note>* notes);

// Paints the artwork and writes the twelve files of the catalogue (art_files.h) as
// the directory dir: they are written into a new directory beside it, which then
// takes dir's place in one step (art_output.h), so dir holds the old set or the new
// one, never a mixture, also when two runs write it at once or a signal ends the
// program. dir is created when missing; an existing dir may hold only the twelve
// names. Characters the chosen faces and DejaVu lack come from an installed face
// that has them; those no face has are reported on stderr by code point, the files
// still written. 0 on success; 1 after a message when a font, the photo or a text
// cannot be used or a file cannot be written, the old set then still in place.
int art_write(const char* dir, const art_texts* texts, const char* program);

// art_write, and the show document's text (show_json, unless empty) written beside
// the pictures as show.vexa.json (art_files.h), in the same one step.
int art_write_show(const char* dir, const art_texts* texts, const std::string& show_json, const char* program);
