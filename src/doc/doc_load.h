/* doc_load.h - the show document's one loader and writer (format 1, see
   docs/show-document.md): a .vexa.json file, or a .vexa ZIP holding one and
   the files it names, read into a show_doc (show_doc.h) with every value
   checked; and a show_doc written back as a document. Every host reads its
   document through here: vexa, vexa-art, vexa-capture (also the batch's
   show column) and the page (its JSON text, through art_engine).

     show_doc doc;
     std::string why;
     const int status = show_doc_load("party.vexa.json", &doc, &why);
     if (status != 0)  ... why is one line naming the file and the key:
         party.vexa.json: look.title.colour: "#ggg" is not a colour

   Statuses: 0 loaded; 2 the document is wrong (not JSON, an unknown or
   duplicate key, a wrong type, a value out of range, too large, not a
   regular file, a bad ZIP); 1 a file it names is missing or not a regular
   file, or the document cannot be read. Nothing is changed on refusal:
   *doc keeps what it held. Relative file names resolve against the
   document's directory; the doc then holds the resolved names.

   Keys are named by their path: "look.title.colour", "lines[2]" (from 0). */
#ifndef VEXA_DOC_LOAD_H
#define VEXA_DOC_LOAD_H

#include "show_doc.h"

#include <cstddef>
#include <string>
#include <vector>

enum {
    show_doc_max_bytes = 1 << 20,        // a document's text
    show_doc_max_unpacked = 64 << 20,    // a .vexa's files, unpacked
};

/* The document in bytes [size], named name in refusals, its relative file
   names resolved against dir ("" or "." for the working directory). key,
   when given, receives the refused key's path ("" for the whole document),
   for a page that shows the refusal beside its control. */
int show_doc_parse(const char* bytes, size_t size, const std::string& name, const std::string& dir, show_doc* doc,
                   std::string* refusal, std::string* key = nullptr);

/* The document at path: a .vexa.json (any name but *.vexa), or a .vexa
   ZIP, unpacked into a private temporary directory that is removed when the
   program exits, so its files stay readable until then. */
int show_doc_load(const std::string& path, show_doc* doc, std::string* refusal);

/* Tells made about each such temporary directory as soon as it exists (and
   at once about those made before), for a program that removes what it made
   when a signal ends it; NULL stops telling. */
void show_doc_on_temp_dir(void (*made)(const char* dir));

/* One value given outside a document (an option, a batch cell) for key:
   json is its JSON text ("\"Mia\"", "true", "42"). Applied in order over a
   loaded document by show_doc_apply, checked as the document's own values
   are; name names the source in refusals ("--tone-level"). Files named are
   resolved against dir and not looked at (their reader reports them). */
struct show_doc_setting {
    std::string key;
    std::string json;
    std::string name;
};
int show_doc_apply(show_doc* doc, const std::vector<show_doc_setting>& settings, const std::string& dir,
                   std::string* refusal);

/* The document's JSON text: "vexa": 1 and every value that differs from the
   default, two-space indented, a final newline. name_of gives what a file
   name is written as (a path relative to the document, a name inside the
   ZIP). */
typedef std::string (*show_doc_name_fn)(const std::string& path, void* context);
std::string show_doc_text(const show_doc& doc, show_doc_name_fn name_of, void* context);

/* Writes doc to path whole (a temporary name beside it, then renamed): a
   .vexa.json with file names relative to path's directory, or, for a name
   ending in .vexa, a ZIP of show.vexa.json and the files it names. 0, or 1
   with a one-line refusal naming the file. */
int show_doc_save(const show_doc& doc, const std::string& path, std::string* refusal);

/* path made relative to the directory dir (both as the file system sees
   them from the working directory); an absolute path when they share
   nothing but the root. */
std::string show_doc_relative(const std::string& path, const std::string& dir);

/* The directory part of path ("." for a bare name). */
std::string show_doc_dir_of(const std::string& path);

#endif
