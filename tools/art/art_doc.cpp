// art_doc.cpp - see art_doc.h. The captions' face is one file for both captions
// (--caption-font); a document naming a different face for each, or a family
// name, is left to the look's painting through texts->doc.
#include "art_doc.h"

void art_texts_from_doc(const show_doc& doc, art_texts* texts)
{
    texts->title.reset();
    texts->subtitle.reset();
    if (doc.has_title)
        texts->title = doc.title;
    if (doc.has_subtitle)
        texts->subtitle = doc.subtitle;
    texts->lines_set = doc.has_lines;
    texts->lines = doc.has_lines ? doc.lines : std::vector<std::string>();
    texts->photo = doc.photo.file.empty() ? nullptr : doc.photo.file.c_str();
    const show_text_look& strips = doc.look.lines;
    texts->font = strips.font_is_file ? strips.font.c_str() : nullptr;
    const show_text_look& title = doc.look.title;
    const show_text_look& subtitle = doc.look.subtitle;
    texts->caption_font = title.font_is_file && subtitle.font_is_file && title.font == subtitle.font
                              ? title.font.c_str()
                              : nullptr;
    texts->doc = &doc;
}
