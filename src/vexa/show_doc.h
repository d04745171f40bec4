/* show_doc.h - one show as its document describes it (format 1): its words,
   photo, look, timing and sound, every value already checked and every
   default filled in. Plain data, no parsing: the loader (src/doc) fills it
   from a .vexa.json or .vexa file and writes it back; the command-line
   options, the batch columns and the page map onto its fields; the show, the
   artwork generator and vexa-capture read it.

     show_doc doc;            // as constructed: the classic show
     doc.look.title.colour = {255, 220, 0, 255};
     doc.look.title.has_colour = true;

   Units: times in ms of show time, lengths in units of the show's 1024 grid,
   loudness in LUFS, levels in dBFS. File names are as the document gave
   them, resolved against the document's directory by the loader. */
#ifndef VEXA_SHOW_DOC_H
#define VEXA_SHOW_DOC_H

#include <cstdint>
#include <string>
#include <vector>

enum { show_doc_format = 1 };

/* sRGB with straight alpha, 255 opaque. */
struct show_colour {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

/* A stroke around the letters; width 0 is none. */
struct show_outline {
    double width = 0;  // 0..16
    show_colour colour;
};

struct show_shadow {
    bool on = false;
    double dx = 0, dy = 0;  // -64..64
    double blur = 0;        // 0..32
    show_colour colour;
};

enum show_weight { weight_classic = -1, weight_regular = 0, weight_bold = 1 };

/* The style of one text. Every field at its default: the classic look. */
struct show_text_look {
    std::string font;           // "": the classic face; else a family name, or a file when font_is_file
    bool font_is_file = false;
    show_weight weight = weight_classic;
    bool has_colour = false;
    show_colour colour;
    show_outline outline;
    show_shadow shadow;
    bool has_box = false;       // a box behind the text, with a margin
    show_colour box;
    double size = 1;            // 0.25..2, a scale on the size that fits

    bool classic() const
    {
        return font.empty() && weight == weight_classic && !has_colour && outline.width == 0 && !shadow.on &&
               !has_box && size == 1;
    }
};

/* Behind the closing when there is no photo: one colour, or a gradient from
   one colour to another along angle (degrees, 0..360). */
struct show_background {
    bool gradient = false;
    show_colour from;  // the colour when !gradient; black by default
    show_colour to;
    double angle = 0;
};

struct show_look {
    show_text_look title, subtitle, lines, credits;
    bool has_card_paper = false, has_card_ink = false;
    show_colour card_paper, card_ink;
    show_colour bar = {255, 255, 255, 255};
    show_background background;

    bool classic() const
    {
        return title.classic() && subtitle.classic() && lines.classic() && credits.classic() && !has_card_paper &&
               !has_card_ink && bar.r == 255 && bar.g == 255 && bar.b == 255 && bar.a == 255 &&
               !background.gradient && background.from.r == 0 && background.from.g == 0 &&
               background.from.b == 0 && background.from.a == 255;
    }
};

/* One line of the credits roll: a name alone (role empty) or a role and a name. */
struct show_credit {
    std::string role, name;
};

enum show_card { card_flash, card_hold };

struct show_timing {
    int count_from = 5, count_to = -3;  // -99..99, from >= to
    uint32_t count_ms = 1000;           // 250..5000
    show_card card = card_flash;
    bool leader = true;                 // false: the show starts with the closing
    uint32_t closing_ms = 7000;         // 4000..600000
    bool closing_music = false;         // "music": the closing ends with the music
};

struct show_sound {
    std::string music;             // a music file, "" for none
    uint32_t music_start_ms = 0;   // where in the file the show starts
    double music_level = -16;      // LUFS, -40..-6
    uint32_t fade_in_ms = 0, fade_out_ms = 2000;  // 0..10000
    bool loop = true;
    bool pop = false, beep = false;
    double tone_level = -20;       // dBFS, -96..0
};

struct show_photo {
    bool show = false;             // the backdrop (the artwork's own photo when file is empty)
    std::string file;              // PNG or JPEG; naming one turns show on
    double focus[2] = {0.5, 0.5};  // the point kept in view when the frame crops, 0..1 from the top left
    double zoom = 1;               // 1..4
};

enum show_layout { layout_host = -1, layout_adapt = 0, layout_crop = 1, layout_fit = 2 };

struct show_doc {
    // The words; has_*: given (else the artwork's defaults). "" leaves a caption out.
    bool has_title = false, has_subtitle = false, has_lines = false;
    std::string title, subtitle;
    std::vector<std::string> lines;     // 0..7 strips
    std::vector<show_credit> credits;   // 0..500 lines
    bool has_seed = false;
    uint32_t seed = 0;
    int aspect_w = 0, aspect_h = 0;     // 0: the output's own shape
    show_layout layout = layout_host;
    show_photo photo;
    show_look look;
    show_timing timing;
    show_sound sound;
};

#endif
