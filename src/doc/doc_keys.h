/* doc_keys.h - an option's value (or a batch cell's: batch columns are the
   long options' names) as a setting of the show document's key it stands
   for. The options' own tables name the key of each option in their doc_key
   column (src/capture's option rows, tools/art's art_option_rows); an
   output-only option has none. docs/show-document.md lists them all.

   A doc_key is a key ("title"), two keys set alike separated by a space
   ("look.title.font look.subtitle.font"), or key=value for a switch that
   sets a fixed value ("layout=adapt", "sound.loop=false": true and false
   as booleans); a switch with a bare key sets it to true ("photo.show"). Keys whose last part is seed, zoom, size, width, dx,
   dy, blur, angle, count_from, count_to, tone_level, music_level or ends in
   _ms take the value as a number (a word such as "music" stays a text); the
   others as a text. "lines" (--line, --lines) and "credits" (--credits
   FILE) are collected by the host, which reads the strips or the roll and
   sets them as a whole.

     std::vector<show_doc_setting> settings;
     doc_option_setting("title", "title", "Mia", &settings);   // title = "Mia"
     show_doc_apply(&doc, settings, ".", &why);                // over a loaded document

   A host turns the options given into settings in the order given and
   applies them over its document, so an option beside --show overrides
   the document's value. */
#ifndef VEXA_DOC_KEYS_H
#define VEXA_DOC_KEYS_H

#include "doc_load.h"

#include <string>
#include <vector>

/* Appends the settings for option (its long name, for refusals) given with
   value (null for a switch) whose row's doc_key is doc_key; false when it
   stands for none (doc_key null, "lines" or "credits"). */
bool doc_option_setting(const char* doc_key, const char* option, const char* value,
                        std::vector<show_doc_setting>* settings);

#endif
