// art_doc.h - the artwork's inputs from a show document (show_doc.h): its words,
// photo and faces into art_texts, and the document itself for the look.
//
//   show_doc doc;  ... loaded (doc_load.h) and the options applied over it
//   art_texts texts;
//   art_texts_from_doc(doc, &texts);   // texts points into doc: keep doc alive
//   art_make(&texts, &images, &notes);
//
// A document of only {"vexa": 1} gives the default artwork, byte for byte.
#pragma once

#include "show_doc.h"
#include "vexa_art.h"

void art_texts_from_doc(const show_doc& doc, art_texts* texts);
