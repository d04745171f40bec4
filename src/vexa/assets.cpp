/* assets.cpp - scene set-up: the render state every frame starts from, the
   texture slots and the images of the show.

   my_init runs once, after the window exists. The images are loaded in a
   fixed order; the first that fails ends the program with status 1, after
   the loader has named the file. The photo backdrop is loaded only when
   VEXA_PHOTO is present in the environment (any value, even empty). */
#include "vexa.h"
#include "sys.h"
#include "tool.h"

#include <cstdlib>

bool my_photo;
GLuint my_tex_positive[6];
GLuint my_tex_negative[3];
GLuint my_tex_photo;
GLuint my_tex_string[2];

static void load(GLuint texture, const char* path, GLenum format)
{
    if (bmp_read(texture, path, format) != 0)
        my_exit(1);
}

void my_init(void)
{
    my_photo = getenv("VEXA_PHOTO") != NULL;

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

    load(my_tex_positive[5], "tex/5.bmp", GL_RGB);
    load(my_tex_positive[4], "tex/4.bmp", GL_RGB);
    load(my_tex_positive[3], "tex/3.bmp", GL_RGB);
    load(my_tex_positive[2], "tex/2.bmp", GL_RGB);
    load(my_tex_positive[1], "tex/1.bmp", GL_RGB);
    load(my_tex_positive[0], "tex/0.bmp", GL_RGB);
    load(my_tex_negative[0], "tex/-1.bmp", GL_RGB);
    load(my_tex_negative[1], "tex/-2.bmp", GL_RGB);
    load(my_tex_negative[2], "tex/-3.bmp", GL_RGB);
    if (my_photo)
        load(my_tex_photo, "tex/photo.bmp", GL_RGB);
    load(my_tex_string[0], "tex/string.bmp", GL_ALPHA);
    layout_captions();
    load(my_tex_string[1], "tex/string2.bmp", GL_ALPHA);
    layout_strips(sys_milliseconds());
}
