/* art_engine.h - the page's artwork engine: vexa-art's painting (vexa_art.h)
   run inside the page, its twelve BMP files kept in memory for the show and
   for the page's script (art_engine.js wraps the C entries for JavaScript).

   C++ hosts (the page's main) hand the last artwork made to the show:
     show_setup setup{};  ...
     setup.images = art_engine_show_images();   // null until artwork was made
     show_init(&setup);

   A show document (format 1, docs/show-document.md) is made into artwork
   by art_engine_make_show: the page writes the files the document names
   (photo, fonts, music) into one directory of its file system first, then
   hands over the document's JSON text and that directory. The loader is
   the native programs' own, with the same one-line refusals:

     // JavaScript (art_engine.js): Module.artEngine.makeShow(json, "/show", "party.vexa.json")
     const status = art_engine_make_show(json, "/show", "party.vexa.json");
     // 0: made; art_engine_show_doc() is the document for show_setup.doc
     // 2 (or 1 for a bad file it names): art_engine_note_field(last) is the
     //   refused key's path ("look.title.colour", "" for the whole document),
     //   art_engine_note_text(last) the refusal line; nothing else changed

   The faces are read from art_engine_font_dir ("/art-fonts" in the page's
   file system: DejaVuSans.ttf, DejaVuSans-Bold.ttf, DejaVuSerif.ttf,
   DejaVuSerif-Bold.ttf), packed into the page by the build. */
#ifndef VEXA_ART_ENGINE_H
#define VEXA_ART_ENGINE_H

#include "vexa.h"

#include <cstddef>

extern const char* const art_engine_font_dir;

/* The last artwork made, in the show's load order; null when none was, or
   the last attempt was refused. Valid until the next art_engine_make. */
const show_image* art_engine_show_images(void);

/* The document the last art_engine_make_show loaded, or null (after
   art_engine_make, or when none was made). Valid until the next make. */
const show_doc* art_engine_show_doc(void);

/* The default artwork's pictures one at a time, in order (count catalogue
   indices, art_files.h), each handed to done as soon as it is made (the
   same bytes as vexa-art's): 0, or 1 after a line on stderr. */
using art_engine_picture_done = void (*)(int index, const char* name, const unsigned char* data, size_t size);
int art_engine_paint_default(const int* order, int count, art_engine_picture_done done);

extern "C" {

/* Paints the artwork. title, subtitle: title_size and subtitle_size bytes of
   UTF-8, null for the default words; lines: line_count strips of line_sizes[i]
   bytes each, line_count < 0 for the default strips (a text holding a NUL or
   another control character is refused, as in vexa-art); photo: photo_size
   bytes of a PNG or JPEG (photo_name names it in messages), null for the
   painted backdrop. 0 when made; 1 when refused (the last note says why).
   Notes and images stay until the next call. */
int art_engine_make(const char* title, size_t title_size, const char* subtitle, size_t subtitle_size,
                    const char* const* lines, const size_t* line_sizes, int line_count,
                    const unsigned char* photo, size_t photo_size, const char* photo_name);
/* A show document's artwork: json (UTF-8, its length from strlen), named
   name in refusals, its relative file names resolved against dir. 0 made;
   2 the document is refused, 1 a file it names or the painting is; the
   last note says why, its field the key. */
int art_engine_make_show(const char* json, const char* dir, const char* name);
/* The default artwork (the words and the painted backdrop of vexa-art run
   with no options, the same bytes) written as the twelve files of dir, made
   when missing: the page's start, and any module of the page's that needs
   its own copy (an export worker). Leaves the last artwork made as it was.
   0, or 1 after a line on stderr. */
int art_engine_write_default(const char* dir);
/* art_engine_paint_default for the script, each picture to
   Module.on_art_image(index, name, bytes): the page's painter, a worker. */
int art_engine_paint_default_each(const int* order, int count);
int art_engine_image_count(void);
const char* art_engine_image_name(int i);
const unsigned char* art_engine_image_data(int i);
size_t art_engine_image_size(int i);
int art_engine_note_count(void);
const char* art_engine_note_field(int i);  // "title", "subtitle", "line 1" ... "photo", "" (see vexa_art.h)
const char* art_engine_note_text(int i);

}  // extern "C"

#endif
