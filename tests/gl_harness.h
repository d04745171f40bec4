/* gl_harness.h - real GL frames for tests.

   gl_open creates a small hidden-in-plain-sight GLUT window on the current X
   display (script/test starts a virtual one) and initialises GLUT the way
   main does. gl_target then renders into an offscreen framebuffer of any
   size, so frames do not depend on the screen size or on other windows, and
   the window's own buffer swap leaves them alone.

     gl_open();
     gl_target(1024, 768);          // also calls reshape(1024, 768)
     m_lapsetime = 5050;
     display();                     // the program's own display callback
     rgba p = gl_world_pixel(512, 512);

   World-to-pixel mapping follows the projection: x 0..1024 spans the width,
   y is centred on 512 at the same scale. */
#ifndef VEXA_GL_HARNESS_H
#define VEXA_GL_HARNESS_H

#include <cstdint>
#include <string>
#include <vector>

struct rgba {
    int r, g, b, a;
};

void gl_open(void);
void gl_target(int width, int height);
int gl_width(void);
int gl_height(void);
/* GL's largest texture side, as the program passes it to the loader. */
int gl_max_texture(void);

/* Reads the whole target; pixel (x, y) counts from the bottom-left. */
void gl_read(void);
rgba gl_pixel(int x, int y);
/* The pixel under world point (wx, wy), or {-1,-1,-1,-1} outside the target. */
rgba gl_world_pixel(float wx, float wy);
bool gl_world_to_pixel(float wx, float wy, int* x, int* y);

/* Counts pixels in a world rectangle whose channels satisfy a predicate. */
int gl_count_world(float x0, float y0, float x1, float y1, bool (*pred)(rgba));

/* Renders show time t through display() and reads the frame back. */
void gl_render(uint32_t t);

/* Writes the last frame read as a PNG-free PPM, for looking at a failure. */
void gl_save_ppm(const std::string& path);

bool is_black(rgba p);
bool is_white(rgba p);
bool is_lit(rgba p);  // any channel above 40

/* The test clock, in place of the platform's (sys_fake.cpp). */
extern uint32_t fake_clock_ms;

#endif
