/* assets.cpp - scene set-up: the render state every frame starts from, the
   texture slots and the images of the show.

   show_init runs once, after the GL context exists. The images are loaded
   in a fixed order from the host's artwork directory; the first that fails
   stops the set-up with 1, after the loader has named the file. A host may
   hand the images over in memory instead (show_setup.images), and one that
   paints them while the show plays (the page) leaves out those not made yet
   and hands each over with show_image_in when it is; show_images_in says
   whether a show time has all it draws. Every host
   calls it with its own show_setup; the window program through my_init,
   where an image that fails ends the program with status 1. */
#include "vexa.h"
#include "art_files.h"
#include "credit_sheets.h"
#include "sys.h"
#include "tool.h"

#include <string>

bool my_photo;
bool my_still;
bool my_overlay;
GLuint my_tex_positive[6];
GLuint my_tex_negative[3];
GLuint my_tex_photo;
GLuint my_tex_string[2];

enum { photo_index = 9 };
static bool my_image_in[my_art_file_count];  // catalogue images loaded into their slots
static GLint my_max_texture;

/* Catalogue image i into its slot: from image in memory, or else the file
   path. 0, or 1 after the loader's line. */
static int load_image(int i, const char* path, const show_image* image)
{
    // In catalogue order (art_files.h).
    static const struct {
        GLuint* texture;
        GLenum format;
    } slots[my_art_file_count] = {
        {&my_tex_positive[5], GL_RGB}, {&my_tex_positive[4], GL_RGB}, {&my_tex_positive[3], GL_RGB},
        {&my_tex_positive[2], GL_RGB}, {&my_tex_positive[1], GL_RGB}, {&my_tex_positive[0], GL_RGB},
        {&my_tex_negative[0], GL_RGB}, {&my_tex_negative[1], GL_RGB}, {&my_tex_negative[2], GL_RGB},
        {&my_tex_photo, GL_RGB},       {&my_tex_string[0], GL_ALPHA},  {&my_tex_string[1], GL_ALPHA},
    };
    const auto& slot = slots[i];
    bmp_texture loaded = {slot.format, 1, 1, 1, 1};
    const int failed = image ? bmp_read_memory(*slot.texture, path, image->data, image->size, slot.format,
                                               my_max_texture, &loaded)
                             : bmp_read(*slot.texture, path, slot.format, my_max_texture, &loaded);
    if (failed)
        return 1;
    if (slot.texture == &my_tex_photo) {
        my_photo_size[0] = loaded.width;
        my_photo_size[1] = loaded.height;
        my_photo_fill[0] = loaded.s;
        my_photo_fill[1] = loaded.t;
    }
    for (int k = 0; k < 2; ++k)
        if (slot.texture == &my_tex_string[k])
            my_string_rgba[k] = loaded.format == GL_RGBA;
    my_image_in[i] = true;
    return 0;
}

int show_image_in(int index, const show_image* image, const char* name)
{
    if (index < 0 || index >= my_art_file_count || (index == photo_index && !my_photo) || my_image_in[index])
        return 0;
    return load_image(index, name, image);
}

bool show_images_in(uint32_t t)
{
    if (t < my_timeline.closing_ms) {
        const int n = count_shown(my_timeline, t);
        return n < -3 || n > 5 || my_image_in[5 - n];  // other numbers come from the atlas
    }
    return (!my_photo || my_image_in[photo_index]) && my_image_in[10] && my_image_in[11];
}

int show_init(const show_setup* setup)
{
    my_photo = setup->photo;
    m_show_fps = setup->show_fps;
    m_pause = setup->paused;
    m_lapsetime = setup->start_ms;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &my_max_texture);
    my_still = setup->still;
    my_timeline = setup->doc ? timeline_for(setup->doc->timing, setup->doc->credits.size()) : classic_timeline();
    my_overlay = setup->overlay;

    glClearColor(0, 0, 0, 0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);  // texel x colour
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // All twelve slots exist from here on, the photo's too, so my_exit can
    // always delete the same names.
    glGenTextures(6, my_tex_positive);
    glGenTextures(3, my_tex_negative);
    glGenTextures(1, &my_tex_photo);
    glGenTextures(2, my_tex_string);

    for (int i = 0; i < my_art_file_count; ++i) {
        my_image_in[i] = false;
        if (i == photo_index && !my_photo)
            continue;
        if (setup->images && !setup->images[i].data)
            continue;  // to come: show_image_in
        const std::string path = std::string(setup->tex_dir) + "/" + my_art_files[i];
        if (load_image(i, path.c_str(), setup->images ? &setup->images[i] : nullptr) != 0)
            return 1;
    }
    // What a document's timing needs beyond the catalogue, from the same directory.
    if (setup->doc && !setup->images) {
        if (leader_needs_atlas(my_timeline) && load_numerals(setup->tex_dir, my_max_texture) != 0)
            return 1;
        const show_doc& d = *setup->doc;
        if (load_credit_sheets(setup->tex_dir, d.credits.size(), credit_aspect(d), my_max_texture) != 0)
            return 1;
    }
    look_init(setup->doc);
    layout_captions();
    layout_strips(setup->seed);
    return 0;
}

void my_init(const show_setup* setup)
{
    if (show_init(setup) != 0)
        my_exit(1);
}
