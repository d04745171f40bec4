/* vexa.h - the state and the functions the shell and the show share.

   Shell state (m_...) is kept by the window and clock code, show data (my_...)
   by scene set-up and the timeline. Everything is a global with static
   lifetime, zero at start; GLUT runs the callbacks one at a time on the one
   thread, so nothing is locked.

   Every host enters the show the same way: show_init once, with what the
   host decided (show_setup: artwork directory, photo, frame-rate counter,
   pause, start time, strip seed), then show_frame for each frame at a show time of its choosing. show_frame
   says when the show is over; the host decides what that means.

   The window program (main.cpp):
     Start-up:  main -> parse_args, find_art_dir -> start_window, begin_settling -> my_init (show_init),
                warm_up_frame -> init2 -> glutMainLoop
     Per frame: idle advances m_lapsetime; display calls show_frame and swaps
     Exit:      my_exit, the only place the program ends the process.
   vexa-capture, the page (src/web) and the picture tests call show_init and
   show_frame themselves; the benchmarks set up through my_init as the
   window program does. */
#ifndef VEXA_H
#define VEXA_H

#include "sheet_rects.h"
#include "show_doc.h"
#include "show_timeline.h"
#include "show_times.h"
#include "stage.h"

#include <GL/gl.h>
#include <cstddef>
#include <cstdint>

/* show clock and controls (controls.cpp) */
extern uint32_t m_lapsetime;   // show time, ms; arithmetic modulo 2^32
extern uint32_t m_prevtime;    // last sample of the millisecond clock
extern bool m_pause;           // true while paused
void idle(void);
void keyboard(unsigned char key, int x, int y);
void special(int key, int x, int y);

/* frame, projection and overlays (frame.cpp) */
extern bool m_show_fps;        // draw the frame-rate counter
extern int m_framecount;       // frames counted in the current show-time second
extern uint32_t m_prevsecond;  // show-time second at the last change
extern int m_fps;              // frames counted in the last completed second
extern stage_mode m_stage_mode;  // the window's layout: stage_crop, or stage_adapt (--adapt)
/* Draws the frame for show time t (it sets m_lapsetime) into the current
   framebuffer of width x height pixels, laid out by stage_for(width, height,
   mode) (stage.h), GL state saved and restored around it, no buffer swap.
   Returns false, drawing nothing, once the show is over (t from
   my_timeline.end_ms on). */
bool show_frame(uint32_t t, int width, int height, stage_mode mode);
void display(void);        // the window's: show_frame at m_lapsetime, swap; my_exit(0) when over
void compose_frame(void);  // one frame's drawing: clear, my_draw, overlays
void reshape(int width, int height);
void draw_string(float x, float y, const char* text);
void calc_fps(void);
void show_fps(void);

/* window start-up (startup.cpp) and the one exit (exit.cpp) */
void start_window(const char* title, bool window);  // glutInit with the name alone, initglut, errno cleared
void initglut(const char* title, bool window = false);  // window: 1024x768, else full screen
/* The display's settling second: it runs from begin_settling (or from init2
   when nothing began it); init2 waits out what is left, then start_clock. */
enum { settle_ms = 1000 };
void begin_settling(void);
void init2(void);
/* Draws the frame the show starts with into the back buffer, unseen, and
   waits for GL, so that the first frame shown finds GL's work for it done;
   the frame-rate counter is left as it was. */
void warm_up_frame(void);
void start_clock(void);                             // show time runs from here, first frame asked for
[[noreturn]] void my_exit(int status);
void show_release(void);  // deletes the texture slots show_init made

/* the stage of the frame being drawn (frame.cpp); the show reads it */
extern stage my_stage;

/* The show's timeline, worked out by show_init from the host's document
   (the classic one without). */
extern show_timeline my_timeline;

/* assets and render state (assets.cpp) */
extern bool my_photo;          // show the photo backdrop
extern bool my_still;          // the leader does not shake
/* The closing drawn to be laid over other pictures: nothing behind it (the
   clear colour's alpha is 0), the fade takes coverage away instead of
   laying black over it, and the leader clears to opaque black. For a host
   whose framebuffer keeps coverage in its alpha (blending alpha with
   GL_ONE, GL_ONE_MINUS_SRC_ALPHA); the colours drawn are those of the
   plain show. */
extern bool my_overlay;
extern GLuint my_tex_positive[6];
extern GLuint my_tex_negative[3];
extern GLuint my_tex_photo;
extern GLuint my_tex_string[2];

/* One image file's bytes in memory. */
struct show_image {
    const unsigned char* data;
    size_t size;
};

/* What a host decides about the show before it starts: everything that
   steers it. Zero-initialise and set what differs. */
struct show_setup {
    const char* tex_dir;  // artwork directory: images are read as "<tex_dir>/5.bmp" ...
    bool photo;           // load and show the photo backdrop
    bool show_fps;        // draw the frame-rate counter
    bool paused;          // start paused
    uint32_t start_ms;    // show time to start from
    uint32_t seed;        // the strips' layout
    bool overlay;         // the closing as an overlay (see my_overlay)
    bool still = false;   // the leader does not shake (a viewer who asked for less motion)
    // Artwork made in memory instead (the page's studio): the twelve BMP files
    // in load order, 5.bmp 4.bmp ... 0.bmp -1.bmp -2.bmp -3.bmp photo.bmp
    // string.bmp string2.bmp; tex_dir then only names them in messages.
    const show_image* images = nullptr;
    // The show as its document describes it (look, timing, photo framing);
    // null: the classic show.
    const show_doc* doc = nullptr;
};
/* Render state, texture slots, images (none larger than GL's own texture
   limit), layout, and the show clock at start_ms. 0, or 1 after the loader
   has named the file that failed (errno as the loader left it). */
int show_init(const show_setup* setup);
/* A host that paints its artwork while the show plays: show_init with
   setup->images[i].data null for each catalogue image (art_files.h) not made
   yet, then show_image_in(i, image, name) as each is (name for messages; an
   image already in, or the photo of a show without one, is passed over): 0,
   or 1 after the loader's line. show_images_in(t): whether every image the
   frame at show time t draws is in (a host holds the clock until it is). */
int show_image_in(int index, const show_image* image, const char* name);
bool show_images_in(uint32_t t);
/* The window program's set-up: artwork in tex_dir, the photo backdrop and
   the frame-rate counter when VEXA_PHOTO and VEXA_SHOW_FPS are present in
   the environment (any value, even empty), a seed from the clock. */
show_setup window_setup(const char* tex_dir);
/* show_init, or my_exit(1) on failure. */
void my_init(const show_setup* setup);

/* the look and the photo's framing (look.cpp), set by show_init */
extern bool my_string_rgba[2];       // the caption sheets hold colour and alpha: drawn in white
extern float my_bar_colour[4];       // the progress bar's frame and segments, its alpha laid over what is beneath
extern float my_card_paper[3];       // the numerals' halo on a card without its own numeral
extern float my_card_ink[3];         // and their ink
extern int my_photo_size[2];         // the photo's pixels, width and height
extern float my_photo_fill[2];       // the part of its texture the photo fills (1: all)
void look_init(const show_doc* doc); // null: the classic look
void draw_background(void);          // behind the closing without a photo
/* The world rectangle the photo covers in my_stage and the part of its
   texture shown there, focus and zoom applied. */
void photo_frame(float pos[2][2], float tex[2][2]);

/* timeline (timeline.cpp), countdown leader (countdown.cpp) and closing
   sequence (closing.cpp); t is show time in ms. my_draw draws the picture
   for m_lapsetime, nothing once the show is over. */
void my_draw(void);
void draw_countdown(uint32_t t);
void draw_closing(uint32_t t);
void place(const placement& p);  // moves what follows from its classic place to the stage's
/* Where the hold card's bar goes in my_stage: over the visible card's lower
   edge, below its numeral (countdown.cpp). */
placement hold_bar_placement(void);

/* closing-sequence layout, prepared once by show_init (closing.cpp) */
extern float my_string_fin_pos[2][2];
extern float my_string_fin_tex[2][2];
extern float my_string_soredake_pos[2][2];
extern float my_string_soredake_tex[2][2];
extern float my_string2_strings_pos[8][2][2];
extern float my_string2_strings_tex[8][2][2];
extern float my_string2_strings_angle[8];
extern float my_string2_strings_base[8][2];
void layout_captions(void);

/* numbers without a classic card (numerals.cpp): the card's ground and the
   numeral atlas, loaded once by show_init when the leader needs them; the
   number n set on a card drawn over card (world rectangle) */
extern GLuint my_tex_card_ground;
bool leader_needs_atlas(const show_timeline& tl);
int load_numerals(const char* tex_dir, int max_texture);
void release_numerals(void);
void draw_numerals(int n, const float card[2][2]);

/* the credits roll (credits.cpp): its sheets, loaded once by show_init and
   deleted by show_release (aspect: the frame's width / height the lines
   were painted to fit, credit_sheets.h); how far the roll has risen at t (0 before it,
   world units); the credit lines on screen at t */
int load_credit_sheets(const char* tex_dir, size_t lines, double aspect, int max_texture);
void release_credit_sheets(void);
float roll_rise(uint32_t t);
void draw_credits(uint32_t t);
void layout_strips(uint32_t seed);  // seeds the generator, then scatters the strips
/* Strip i's resting centre in my_stage: its place in the classic square
   256-768 carried over to the stage's scatter rectangle (in tall frames
   lowered so that the strip, at its size and angle, stays under it). */
void strip_rest(int i, float base[2]);

#endif
