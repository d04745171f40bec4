/* page_art.h - the page's default artwork while it is being painted: a
   worker (painter.js) paints the twelve pictures, the one the show starts
   with first, and the page's host (main_web.cpp) plays as soon as the
   pictures its show time draws are in, the rest coming while it plays.

     if (page_art_missing()) page_art_start(start_ms);  // at start, before the GL set-up
     page_art_paint_first();             // after it: the start's first picture, here
     setup.images = page_art_images();   // while painting: the pictures so far (null data: to come)
     // then, as each comes: page_art_arrived(index, &image, path) (main_web.cpp's)
     // and once at the end: page_art_done(repainted)

   Where no worker can paint (no Worker, no compiled module to share), the
   pictures are painted on the page's own thread at the show's loading
   (page_art_paint_here); where the worker fails, all of them there again. */
#ifndef VEXA_PAGE_ART_H
#define VEXA_PAGE_ART_H

#include "vexa.h"

#include <cstdint>

extern const char* const page_art_dir;  // the default artwork's directory in the page's file system

/* Whether the default artwork is neither packed into the page nor painted yet. */
bool page_art_missing(void);
/* Starts the painter, the pictures in the order a show starting at start_ms
   needs them; false when no worker can (page_art_paint_here then paints). */
bool page_art_start(uint32_t start_ms);
/* The first of those pictures painted on the page's own thread, handed on
   like the worker's (the worker paints the rest meanwhile). */
void page_art_paint_first(void);
/* Whether the painter is still at work. */
bool page_art_painting(void);
/* While painting, the twelve pictures so far in catalogue order (data null
   for those to come), for show_setup.images; null otherwise. */
const show_image* page_art_images(void);
/* The whole default artwork written on the page's own thread, when missing:
   0, or 1 after a line on stderr. */
int page_art_paint_here(void);

/* main_web.cpp's: a picture has come (path names it in messages); the
   painting is over, every picture in page_art_dir (repainted: the page
   painted them after the worker failed, and the show loads them again). */
void page_art_arrived(int index, const show_image* image, const char* path);
void page_art_done(bool repainted);

#endif
