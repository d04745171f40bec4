/* assets.cpp - scene set-up: the render state every frame starts from, the
   texture slots and the images of the show.

   show_init runs once, after the GL context exists. The images are loaded
   in a fixed order from the host's artwork directory; the first that fails
   stops the set-up with 1, after the loader has named the file. A host may
   hand the images over in memory instead (show_setup.images). Every host
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

int show_init(const show_setup* setup)
{
    my_photo = setup->photo;
    m_show_fps = setup->show_fps;
    m_pause = setup->paused;
    m_lapsetime = setup->start_ms;
    GLint max_texture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture);
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

    // In catalogue order (art_files.h).
    const struct {
        GLuint* texture;
        GLenum format;
    } images[my_art_file_count] = {
        {&my_tex_positive[5], GL_RGB}, {&my_tex_positive[4], GL_RGB}, {&my_tex_positive[3], GL_RGB},
        {&my_tex_positive[2], GL_RGB}, {&my_tex_positive[1], GL_RGB}, {&my_tex_positive[0], GL_RGB},
        {&my_tex_negative[0], GL_RGB}, {&my_tex_negative[1], GL_RGB}, {&my_tex_negative[2], GL_RGB},
        {&my_tex_photo, GL_RGB},       {&my_tex_string[0], GL_ALPHA},  {&my_tex_string[1], GL_ALPHA},
    };
    for (int i = 0; i < my_art_file_count; ++i) {
        const auto& image = images[i];
        if (image.texture == &my_tex_photo && !my_photo)
            continue;
        const std::string path = std::string(setup->tex_dir) + "/" + my_art_files[i];
        bmp_texture loaded = {image.format, 1, 1, 1, 1};
        const int failed = setup->images ? bmp_read_memory(*image.texture, path.c_str(), setup->images[i].data,
                                                           setup->images[i].size, image.format, max_texture, &loaded)
                                         : bmp_read(*image.texture, path.c_str(), image.format, max_texture, &loaded);
        if (failed)
            return 1;
        if (image.texture == &my_tex_photo) {
            my_photo_size[0] = loaded.width;
            my_photo_size[1] = loaded.height;
            my_photo_fill[0] = loaded.s;
            my_photo_fill[1] = loaded.t;
        }
        for (int k = 0; k < 2; ++k)
            if (image.texture == &my_tex_string[k])
                my_string_rgba[k] = loaded.format == GL_RGBA;
    }
    // What a document's timing needs beyond the catalogue, from the same directory.
    if (setup->doc && !setup->images) {
        if (leader_needs_atlas(my_timeline) && load_numerals(setup->tex_dir, max_texture) != 0)
            return 1;
        const show_doc& d = *setup->doc;
        if (load_credit_sheets(setup->tex_dir, d.credits.size(), credit_aspect(d), max_texture) != 0)
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
