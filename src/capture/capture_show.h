/* capture_show.h - vexa-capture's show document: --show FILE, or the
   show.vexa.json beside the artwork --tex names (as vexa DIR plays it), with
   the options given laid over it in order, and what it says carried into
   the capture options (words, photo and faces for the artwork built on the
   fly, backdrop, layout, seed, pop and beeps); and --save-show FILE, the
   document for the options given. The document goes into o.doc (the
   timing, credits and sound options' own place), so the show, its artwork
   and its sound are drawn from it; then the show's span is settled again
   (capture_settle_timeline).

     if ((status = capture_show_open(&o)) != 0) return status;  // one line said why
     ... the credits read, the seed chosen ...
     if (o.save_show && (status = capture_show_save(o)) != 0) return status;

   Statuses as the loader's (doc_load.h): 2 a document or option is wrong,
   1 a file it names, or the document cannot be written. */
#ifndef VEXA_CAPTURE_SHOW_H
#define VEXA_CAPTURE_SHOW_H

#include "options.h"
#include "show_doc.h"

int capture_show_open(capture_options* o);
/* Writes o->save_show: the document (or the options alone) with the seed used. */
int capture_show_save(const capture_options& o);

#endif
