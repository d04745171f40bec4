/* window_show.h - the show the window program plays, as a document: from
   vexa --show FILE (its artwork painted in memory with the artwork library,
   vexa_art.h), or the show.vexa.json an artwork directory holds (vexa DIR,
   after vexa-art --show), or none (the classic show).

     window_show w;
     if (window_show_open(&args, &w) != 0)  ... one line on stderr; exit status
     show_setup setup = window_setup(w.tex_dir.c_str());
     window_show_setup(w, &setup);   // images, document, photo, seed

   Refusals come before any window opens. */
#ifndef VEXA_WINDOW_SHOW_H
#define VEXA_WINDOW_SHOW_H

#include "args.h"
#include "show_doc.h"
#include "stage.h"
#include "vexa.h"

#include <string>
#include <vector>

struct window_show {
    std::string tex_dir;     // where the artwork is read from, or the document's name
    bool has_doc = false;
    show_doc doc;
    std::vector<std::vector<uint8_t>> bytes;  // artwork painted in memory
    std::vector<show_image> images;
};

/* 0, or the exit status after one line on standard error. */
int window_show_open(const vexa_args* args, window_show* w);
/* The document's part of the show's set-up, and the window's layout. */
void window_show_setup(const window_show& w, const vexa_args* args, show_setup* setup, stage_mode* mode);

#endif
