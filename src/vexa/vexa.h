/* vexa.h - the state and the functions the shell and the show share.

   Shell state (m_...) is kept by the window and clock code, show data (my_...)
   by scene set-up and the timeline. Everything is a global with static
   lifetime, zero at start; GLUT runs the callbacks one at a time on the one
   thread, so nothing is locked.

   Start-up:  main -> initglut -> my_init -> init2 -> glutMainLoop
   Per frame: idle advances m_lapsetime, display clears, calls my_draw, draws
              the overlays and swaps.
   Exit:      my_exit, the only place the program ends the process. */
#ifndef VEXA_H
#define VEXA_H

#include "sheet_rects.h"
#include "show_times.h"

#include <GL/gl.h>
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
void display(void);
void compose_frame(void);  // display without the attribute save and the swap
void reshape(int width, int height);
void draw_string(float x, float y, const char* text);
void calc_fps(void);
void show_fps(void);

/* entry and exit (main.cpp, exit.cpp) */
void initglut(const char* title, bool window = false);  // window: 1024x768, else full screen
void init2(void);
[[noreturn]] void my_exit(int status);

/* assets and render state (assets.cpp) */
extern bool my_photo;          // show the photo backdrop
extern GLuint my_tex_positive[6];
extern GLuint my_tex_negative[3];
extern GLuint my_tex_photo;
extern GLuint my_tex_string[2];
void my_init(void);

/* timeline (timeline.cpp), countdown leader (countdown.cpp) and closing
   sequence (closing.cpp); t is show time in ms */
void my_draw(void);
void draw_countdown(uint32_t t);
void draw_closing(uint32_t t);

/* closing-sequence layout, prepared once by my_init (closing.cpp) */
extern float my_string_fin_pos[2][2];
extern float my_string_fin_tex[2][2];
extern float my_string_soredake_pos[2][2];
extern float my_string_soredake_tex[2][2];
extern float my_string2_strings_pos[8][2][2];
extern float my_string2_strings_tex[8][2][2];
extern float my_string2_strings_angle[8];
extern float my_string2_strings_base[8][2];
void layout_captions(void);
void layout_strips(uint32_t seed);  // seeds the generator, then scatters the strips

#endif
