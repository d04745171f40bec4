/* art_engine.cpp - the page's artwork engine (see art_engine.h): the same
   art_make as vexa-art, with the faces and the photo in the page's file
   system (Emscripten's, in memory). */
#include "art_engine.h"
#include "art_doc.h"
#include "doc_load.h"
#include "vexa_art.h"

#include <emscripten.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

const char* const art_engine_font_dir = "/art-fonts";

static std::vector<art_image> m_images;
static std::vector<art_note> m_notes;
static std::vector<show_image> m_show_images;
static show_doc m_doc;
static bool m_has_doc;

/* Where the photo's bytes are put for the painting, removed after it. */
static const char* const photo_path = "/art-photo";

static bool write_photo(const unsigned char* data, size_t size)
{
    FILE* f = fopen(photo_path, "wb");
    if (!f)
        return false;
    const bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

const show_image* art_engine_show_images(void)
{
    return m_show_images.empty() ? nullptr : m_show_images.data();
}

const show_doc* art_engine_show_doc(void)
{
    return m_has_doc ? &m_doc : nullptr;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE int art_engine_make(const char* title, size_t title_size, const char* subtitle,
                                         size_t subtitle_size, const char* const* lines, const size_t* line_sizes,
                                         int line_count, const unsigned char* photo, size_t photo_size,
                                         const char* photo_name)
{
    m_images.clear();
    m_notes.clear();
    m_show_images.clear();
    m_has_doc = false;

    // Texts come with their sizes, so that a NUL inside one is seen and refused.
    art_texts texts;
    texts.font_dir = art_engine_font_dir;
    if (title)
        texts.title = std::string(title, title_size);
    if (subtitle)
        texts.subtitle = std::string(subtitle, subtitle_size);
    if (line_count >= 0) {
        texts.lines_set = true;
        for (int i = 0; i < line_count; ++i)
            texts.lines.emplace_back(lines[i], line_sizes[i]);
    }
    const std::string name = photo_name && *photo_name ? photo_name : "the photo";
    if (photo) {
        if (!write_photo(photo, photo_size)) {
            remove(photo_path);
            m_notes.push_back({"photo", name + ": no memory to read it"});
            return 1;
        }
        texts.photo = photo_path;
    }
    const int status = art_make(&texts, &m_images, &m_notes);
    if (photo)
        remove(photo_path);
    // Messages name the photo as the person knows it.
    const std::string prefix = std::string(photo_path) + ":";
    for (art_note& note : m_notes)
        if (note.text.compare(0, prefix.size(), prefix) == 0)
            note.text = name + ":" + note.text.substr(prefix.size());
    for (const art_image& image : m_images)
        m_show_images.push_back({image.bytes.data(), image.bytes.size()});
    return status;
}

EMSCRIPTEN_KEEPALIVE int art_engine_make_show(const char* json, const char* dir, const char* name)
{
    m_images.clear();
    m_notes.clear();
    m_show_images.clear();
    m_has_doc = false;

    std::string why, key;
    const int loaded = show_doc_parse(json, json ? strlen(json) : 0, name && *name ? name : "show.vexa.json",
                                      dir && *dir ? dir : "/", &m_doc, &why, &key);
    if (loaded != 0) {
        m_notes.push_back({key, why});
        return loaded;
    }
    art_texts texts;
    art_texts_from_doc(m_doc, &texts);
    texts.font_dir = art_engine_font_dir;
    const int status = art_make(&texts, &m_images, &m_notes);
    for (const art_image& image : m_images)
        m_show_images.push_back({image.bytes.data(), image.bytes.size()});
    m_has_doc = status == 0;
    return status;
}

EMSCRIPTEN_KEEPALIVE int art_engine_write_default(const char* dir)
{
    // Painted into a vector of its own, so the studio's last artwork stays.
    std::vector<art_image> images;
    std::vector<art_note> notes;
    art_texts texts;
    texts.font_dir = art_engine_font_dir;
    if (art_make(&texts, &images, &notes) != 0) {
        fprintf(stderr, "vexa: the default artwork: %s\n", notes.empty() ? "not made" : notes.back().text.c_str());
        return 1;
    }
    if (mkdir(dir, 0755) != 0 && errno != EEXIST) {
        fprintf(stderr, "vexa: %s: %s\n", dir, strerror(errno));
        return 1;
    }
    for (const art_image& image : images) {
        const std::string path = std::string(dir) + "/" + image.name;
        FILE* f = fopen(path.c_str(), "wb");
        const bool written = f && fwrite(image.bytes.data(), 1, image.bytes.size(), f) == image.bytes.size();
        if (!f || fclose(f) != 0 || !written) {
            fprintf(stderr, "vexa: %s: cannot be written\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

/* Each picture to the script as it is made: Module.on_art_image(index, name,
   bytes), a copy of its bytes. */
EM_JS(void, hand_on_image, (int index, const char* name, const unsigned char* data, size_t size), {
    if (Module['on_art_image'])
        Module['on_art_image'](index, UTF8ToString(name), HEAPU8.slice(data, data + size));
});

}  // extern "C"

int art_engine_paint_default(const int* order, int count, art_engine_picture_done done)
{
    std::vector<art_note> notes;
    art_texts texts;
    texts.font_dir = art_engine_font_dir;
    const std::vector<int> indices(order, order + (count > 0 ? count : 0));
    const int status = art_make_each(&texts, indices, [done](int index, const art_image& image) {
        done(index, image.name.c_str(), image.bytes.data(), image.bytes.size());
    }, &notes);
    if (status != 0)
        fprintf(stderr, "vexa: the default artwork: %s\n", notes.empty() ? "not made" : notes.back().text.c_str());
    return status;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE int art_engine_paint_default_each(const int* order, int count)
{
    return art_engine_paint_default(order, count, hand_on_image);
}

EMSCRIPTEN_KEEPALIVE int art_engine_image_count(void)
{
    return int(m_images.size());
}

EMSCRIPTEN_KEEPALIVE const char* art_engine_image_name(int i)
{
    return i >= 0 && size_t(i) < m_images.size() ? m_images[size_t(i)].name.c_str() : nullptr;
}

EMSCRIPTEN_KEEPALIVE const unsigned char* art_engine_image_data(int i)
{
    return i >= 0 && size_t(i) < m_images.size() ? m_images[size_t(i)].bytes.data() : nullptr;
}

EMSCRIPTEN_KEEPALIVE size_t art_engine_image_size(int i)
{
    return i >= 0 && size_t(i) < m_images.size() ? m_images[size_t(i)].bytes.size() : 0;
}

EMSCRIPTEN_KEEPALIVE int art_engine_note_count(void)
{
    return int(m_notes.size());
}

EMSCRIPTEN_KEEPALIVE const char* art_engine_note_field(int i)
{
    return i >= 0 && size_t(i) < m_notes.size() ? m_notes[size_t(i)].field.c_str() : nullptr;
}

EMSCRIPTEN_KEEPALIVE const char* art_engine_note_text(int i)
{
    return i >= 0 && size_t(i) < m_notes.size() ? m_notes[size_t(i)].text.c_str() : nullptr;
}

}  // extern "C"
