/* page_art.cpp - the default artwork painted by the page's worker (see
   page_art.h): the painting order, the pictures kept as they come, and the
   page's own painting where the worker cannot. */
#include "page_art.h"
#include "art_engine.h"
#include "art_files.h"
#include "show_timeline.h"

#include <emscripten.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

const char* const page_art_dir = "tex";

static bool m_painting;
static int m_first = -1;  // the picture page_art_paint_first paints, -1 none
static std::vector<unsigned char> m_painted[my_art_file_count];
static show_image m_images[my_art_file_count];

extern "C" void web_image_in(int index, const unsigned char* data, size_t size);

EM_JS(int, start_painter, (const int* order, int count), {
    return Module['start_painter'](Array.from(HEAP32.subarray(order >> 2, (order >> 2) + count))) ? 1 : 0;
});

/* The export's script waits for this before it reads the artwork. */
EM_JS(void, tell_painted, (void), {
    if (Module['on_painted'])
        Module['on_painted']();
});

bool page_art_missing(void)
{
    struct stat st;
    return stat(page_art_dir, &st) != 0;
}

bool page_art_start(uint32_t start_ms)
{
    // The picture the start draws first (a card, or the closing's), then on
    // in the show's order, round to the cards before it.
    const show_timeline tl = classic_timeline();
    const int first = start_ms < tl.closing_ms ? 5 - count_shown(tl, start_ms) : 9;
    int order[my_art_file_count];
    for (int i = 0; i < my_art_file_count; ++i)
        order[i] = (first + i) % my_art_file_count;
    // The worker all but the first, which page_art_paint_first paints here
    // meanwhile: both cores at it while the worker starts.
    m_painting = start_painter(order + 1, my_art_file_count - 1) != 0;
    m_first = m_painting ? first : -1;
    return m_painting;
}

void page_art_paint_first(void)
{
    if (m_first < 0)
        return;
    const int first = m_first;
    m_first = -1;
    art_engine_paint_default(&first, 1, [](int index, const char*, const unsigned char* data, size_t size) {
        web_image_in(index, data, size);
    });
}

bool page_art_painting(void)
{
    return m_painting;
}

const show_image* page_art_images(void)
{
    if (!m_painting)
        return nullptr;
    for (int i = 0; i < my_art_file_count; ++i)
        m_images[i] = {m_painted[i].empty() ? nullptr : m_painted[i].data(), m_painted[i].size()};
    return m_images;
}

int page_art_paint_here(void)
{
    if (!page_art_missing())
        return 0;
    return art_engine_write_default(page_art_dir);
}

static bool write_file(const std::string& path, const unsigned char* data, size_t size)
{
    if (mkdir(page_art_dir, 0755) != 0 && errno != EEXIST)
        return false;
    FILE* f = fopen(path.c_str(), "wb");
    const bool written = f && fwrite(data, 1, size, f) == size;
    return f && fclose(f) == 0 && written;
}

extern "C" {

/* A picture from the painter: kept (in memory for the show's loading until
   the painting is over, and as its file for the export) and handed on. */
EMSCRIPTEN_KEEPALIVE void web_image_in(int index, const unsigned char* data, size_t size)
{
    if (!m_painting || index < 0 || index >= my_art_file_count || !data)
        return;
    const std::string path = std::string(page_art_dir) + "/" + my_art_files[index];
    if (!write_file(path, data, size))
        fprintf(stderr, "vexa: %s: cannot be written\n", path.c_str());
    m_painted[index].assign(data, data + size);
    const show_image image{m_painted[index].data(), size};
    page_art_arrived(index, &image, path.c_str());
}

/* The painter's end: 0 all made; 1 it failed, and the page paints the
   whole artwork itself (the same bytes), the show then loaded again. */
EMSCRIPTEN_KEEPALIVE void web_painted(int status)
{
    if (!m_painting)
        return;
    m_painting = false;
    for (auto& painted : m_painted)
        std::vector<unsigned char>().swap(painted);
    const bool repainted = status != 0;
    if (repainted && art_engine_write_default(page_art_dir) != 0)
        fprintf(stderr, "vexa: the default artwork could not be painted\n");
    page_art_done(repainted);
    tell_painted();
}

EMSCRIPTEN_KEEPALIVE int web_artwork_ready(void)
{
    return !m_painting;
}

}  // extern "C"
