/* worker_web.cpp - the host of the page's export workers (worker_export.js):
   the show set up once and drawn frame by frame into a worker's own WebGL
   context (an OffscreenCanvas), with no GLUT and no page around it.

   web_worker_start loads the show (again, releasing the one before) from the
   artwork the page handed over (written into this module's file system),
   with the given seed and photo, as the page's export does; then web_export_frame (web_export.cpp) draws
   and converts each frame it is asked for. The GLUT calls the show's window
   code makes are never reached here: they are stubs, so that Emscripten's
   GLUT layer (which needs a document) is not linked in. */
#include "doc_load.h"
#include "vexa.h"
#include "web_export.h"
#include "web_host.h"

#include <GL/glut.h>
#include <emscripten.h>
#include <cstdio>
#include <cstring>
#include <string>

static std::string m_tex_dir;
static bool m_loaded;  // a show loaded, released before the next
static show_doc m_doc;  // the page's show document (its timing, look and credits)

EM_JS(void, worker_canvas_size, (int width, int height), {
    Module['canvas'].width = width;
    Module['canvas'].height = height;
});

void web_export_canvas(int width, int height)
{
    static int m_width, m_height;
    if (width != m_width || height != m_height) {
        m_width = width;
        m_height = height;
        worker_canvas_size(width, height);
    }
}

/* doc: the page's show document as web_doc_text gives it, "" for none.
   0, or 1 after the loader's line naming the file. */
extern "C" EMSCRIPTEN_KEEPALIVE int web_worker_start(const char* tex_dir, int photo, uint32_t seed, const char* doc)
{
    if (setjmp(web_exit_point) != 0) {
        m_loaded = false;  // the loader's failure released the show
        return 1;
    }
    if (m_loaded)
        show_release();
    m_loaded = false;
    m_tex_dir = tex_dir;
    show_setup setup{};
    setup.tex_dir = m_tex_dir.c_str();
    setup.photo = photo != 0;
    setup.seed = seed;  // a video is the show as made: no pause, no counter, the leader shaking
    if (doc && *doc) {
        std::string why;
        m_doc = show_doc{};
        if (show_doc_parse(doc, strlen(doc), "show.vexa.json", "/", &m_doc, &why) != 0) {
            fprintf(stderr, "%s\n", why.c_str());
            return 1;
        }
        setup.doc = &m_doc;
    }
    if (show_init(&setup) != 0)
        return 1;
    m_loaded = true;
    return 0;
}

// The window's calls, never made by a worker.
int glutGet(GLenum)
{
    return 0;
}
void glutSwapBuffers(void) {}
void glutPostRedisplay(void) {}
void glutIdleFunc(void (*)(void)) {}
