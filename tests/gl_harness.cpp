/* gl_harness.cpp - see gl_harness.h. */
#define GL_GLEXT_PROTOTYPES 1
#include "gl_harness.h"
#include "offscreen.h"
#include "vexa.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glut.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

static int target_w, target_h;
static offscreen target;
static std::vector<unsigned char> pixels;

void gl_open(void)
{
    static bool opened;
    if (opened)
        return;
    opened = true;
    int argc = 1;
    char name[] = "vexa-test";
    char* argv[] = {name, NULL};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_ALPHA | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutCreateWindow(name);
    glutDisplayFunc(display);
    errno = 0;
}

void gl_target(int width, int height)
{
    gl_open();
    if (target.fbo)
        offscreen_delete(&target);
    if (offscreen_create(&target, width, height) != 0) {
        fprintf(stderr, "gl_harness: framebuffer %dx%d incomplete\n", width, height);
        abort();
    }
    target_w = width;
    target_h = height;
    reshape(width, height);
}

int gl_width(void) { return target_w; }

int gl_max_texture(void)
{
    gl_open();
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}
int gl_height(void) { return target_h; }

void gl_read(void)
{
    pixels.assign((size_t)target_w * target_h * 4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, target_w, target_h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

rgba gl_pixel(int x, int y)
{
    if (x < 0 || y < 0 || x >= target_w || y >= target_h)
        return {-1, -1, -1, -1};
    const unsigned char* p = &pixels[((size_t)y * target_w + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

bool gl_world_to_pixel(float wx, float wy, int* x, int* y)
{
    const double scale = (double)target_w / 1024.0;
    const double a = (double)target_h / (double)target_w;
    const double y0 = 512.0 - 512.0 * a;  // world y at the bottom edge
    *x = (int)std::floor(wx * scale);
    *y = (int)std::floor((wy - y0) * scale);
    return *x >= 0 && *y >= 0 && *x < target_w && *y < target_h;
}

rgba gl_world_pixel(float wx, float wy)
{
    int x, y;
    if (!gl_world_to_pixel(wx, wy, &x, &y))
        return {-1, -1, -1, -1};
    return gl_pixel(x, y);
}

int gl_count_world(float x0, float y0, float x1, float y1, bool (*pred)(rgba))
{
    int px0, py0, px1, py1;
    gl_world_to_pixel(x0, y0, &px0, &py0);
    gl_world_to_pixel(x1, y1, &px1, &py1);
    int n = 0;
    for (int y = py0; y < py1; ++y)
        for (int x = px0; x < px1; ++x) {
            const rgba p = gl_pixel(x, y);
            if (p.r >= 0 && pred(p))
                ++n;
        }
    return n;
}

void gl_render(uint32_t t)
{
    m_lapsetime = t;
    display();
    gl_read();
}

void gl_save_ppm(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return;
    fprintf(f, "P6\n%d %d\n255\n", target_w, target_h);
    for (int y = target_h - 1; y >= 0; --y)
        for (int x = 0; x < target_w; ++x)
            fwrite(&pixels[((size_t)y * target_w + x) * 4], 1, 3, f);
    fclose(f);
}

bool is_black(rgba p) { return p.r < 16 && p.g < 16 && p.b < 16; }
bool is_white(rgba p) { return p.r > 239 && p.g > 239 && p.b > 239; }
bool is_lit(rgba p) { return p.r > 40 || p.g > 40 || p.b > 40; }
