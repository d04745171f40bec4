/* capture_show.cpp - see capture_show.h. The document lives in the capture
   options for the whole run: the artwork's texts point into it. */
#include "capture_show.h"
#include "art_dir.h"
#include "art_doc.h"
#include "art_files.h"
#include "doc_keys.h"
#include "doc_load.h"

#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

static int refuse(const std::string& why, int status)
{
    fprintf(stderr, "vexa-capture: %s\n", why.c_str());
    return status;
}

/* The options given, in order, over the document; --line and --lines
   replace its strips as a whole. */
static int apply_options(capture_options* o, show_doc* doc)
{
    std::vector<show_doc_setting> settings;
    for (const given_option& g : o->given)
        doc_option_setting(option_doc_key(g.name), g.name, g.value, &settings);
    std::string why;
    const int status = show_doc_apply(doc, settings, ".", &why);
    if (status != 0)
        return refuse(why, status);
    if (!o->art_lines.empty()) {  // read once (standard input too), then taken from here
        art_texts read;
        if (art_lines_read(o->art_lines, &read, "vexa-capture") != 0)
            return 1;
        doc->lines = read.lines;
        doc->has_lines = true;
        o->art.lines = read.lines;
        o->art.lines_set = true;
        o->art_lines.clear();
    }
    return 0;
}

int capture_show_open(capture_options* o)
{
    std::string why, path;
    if (o->show) {
        path = o->show;
    } else if (!o->own_art && o->out) {
        const std::string tex = find_art_dir(o->tex_dir, "vexa-capture");
        if (tex.empty())
            return 1;
        path = tex + "/" + my_art_show_doc;
        if (access(path.c_str(), F_OK) != 0)
            path.clear();  // an artwork directory without a document: the classic show
    }
    // The times are checked once the show's length is known: after a credits
    // file is read and the music of a show ending with it is measured.
    const auto settle = [o]() {
        return capture_settle_timeline(o, o->credits_file == NULL && !o->doc.timing.closing_music);
    };
    if (path.empty() && !o->save_show)  // the options alone have set o->doc
        return settle();
    // The document (or the classic show, for --save-show alone), then every
    // option given over it, in order: the timing and sound options set
    // o->doc as they were read, and are set again here over the document's
    // values. --credits FILE replaces the roll once it is read.
    show_doc d;
    if (!path.empty()) {
        const int status = show_doc_load(path, &d, &why);
        if (status != 0)
            return refuse(why, status);
    }
    const int status = apply_options(o, &d);
    if (status != 0)
        return status;
    o->doc = d;
    if (path.empty())  // --save-show alone: the options draw the show, as without it
        return settle();

    const show_doc& doc = o->doc;
    if (o->show) {  // the artwork built on the fly from the document
        o->own_art = true;
        o->art = art_texts();
        art_texts_from_doc(doc, &o->art);
        o->art_lines.clear();
    }
    o->photo = o->photo || doc.photo.show;
    if (doc.layout != layout_host)
        o->layout = doc.layout == layout_adapt ? stage_adapt : doc.layout == layout_fit ? stage_fit : stage_crop;
    if (doc.has_seed) {
        o->seed = doc.seed;
        o->has_seed = true;
    }
    const bool sound = o->mode == mode_frames || o->mode == mode_video;
    o->pop = sound && doc.sound.pop;
    o->beep = sound && doc.sound.beep;
    o->tone_level = doc.sound.tone_level;
    // A document's music plays under a video or frames only; a show ending
    // with it still takes its length from it.
    if (!sound && !doc.timing.closing_music)
        o->doc.sound.music.clear();
    return settle();
}

static bool is_package(const char* path)
{
    const size_t n = strlen(path);
    return n >= 5 && strcasecmp(path + n - 5, ".vexa") == 0;
}

int capture_show_save(const capture_options& o)
{
    // A package's files live in a directory removed at exit: they travel on
    // only in another package.
    if (o.show && is_package(o.show) && !is_package(o.save_show))
        return refuse(std::string("a show from a .vexa package is saved as a .vexa package, not ") + o.save_show, 2);
    show_doc d = o.doc;
    d.seed = o.seed;  // the seed used, so that the document draws the same frames
    d.has_seed = true;
    std::string why;
    if (show_doc_save(d, o.save_show, &why) != 0)
        return refuse(why, 1);
    return 0;
}
