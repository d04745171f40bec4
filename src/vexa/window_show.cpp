/* window_show.cpp - see window_show.h. */
#include "window_show.h"
#include "art_dir.h"
#include "art_doc.h"
#include "art_files.h"
#include "doc_load.h"
#include "vexa_art.h"

#include <unistd.h>

#include <cstdio>

static int refuse(const std::string& why, int status)
{
    fprintf(stderr, "vexa: %s\n", why.c_str());
    return status;
}

int window_show_open(const vexa_args* args, window_show* w)
{
    std::string why;
    if (!args->show) {
        w->tex_dir = find_art_dir(args->art_dir, "vexa");
        if (w->tex_dir.empty())
            return 1;
        const std::string beside = w->tex_dir + "/" + my_art_show_doc;
        if (access(beside.c_str(), F_OK) != 0)
            return 0;  // an artwork directory without a document: the classic show
        const int status = show_doc_load(beside, &w->doc, &why);
        if (status != 0)
            return refuse(why, status);
        w->has_doc = true;
        return 0;
    }
    const int status = show_doc_load(args->show, &w->doc, &why);
    if (status != 0)
        return refuse(why, status);
    w->has_doc = true;
    w->tex_dir = args->show;
    art_texts texts;
    art_texts_from_doc(w->doc, &texts);
    std::vector<art_image> images;
    std::vector<art_note> notes;
    const int made = art_make(&texts, &images, &notes);
    for (const art_note& note : notes)
        fprintf(stderr, "vexa: %s\n", note.text.c_str());
    if (made != 0)
        return 1;
    for (art_image& image : images)
        w->bytes.push_back(std::move(image.bytes));
    for (const std::vector<uint8_t>& b : w->bytes)
        w->images.push_back({b.data(), b.size()});
    return 0;
}

void window_show_setup(const window_show& w, const vexa_args* args, show_setup* setup, stage_mode* mode)
{
    *mode = args->adapt ? stage_adapt : stage_crop;
    if (!w.has_doc)
        return;
    const show_doc& d = w.doc;
    setup->doc = &d;
    if (!w.images.empty())
        setup->images = w.images.data();
    setup->photo = setup->photo || d.photo.show;
    if (d.has_seed)
        setup->seed = d.seed;
    if (!args->adapt && d.layout != layout_host)  // --adapt overrides the document
        *mode = d.layout == layout_adapt ? stage_adapt : d.layout == layout_fit ? stage_fit : stage_crop;
}
