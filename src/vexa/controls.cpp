/* controls.cpp - the show clock and the keyboard.

   Show time (m_lapsetime) is the single input of every picture. The idle
   callback advances it by the wall-clock milliseconds since its last call
   and asks for a frame; the keys pause and resume it, step it, or quit:

     Esc, q        quit with status 0 (Q is an ordinary key)
     Space         pause / resume
     Left, Right   one second back / forward
     Up, Down      100 ms back / forward

   Stepping back stops at zero rather than wrapping round to the end of the
   show. Other keys are reported on standard output. */
#include "vexa.h"
#include "sys.h"

#include <GL/glut.h>
#include <cstdio>

uint32_t m_lapsetime;
uint32_t m_prevtime;
bool m_pause;

void idle(void)
{
    const uint32_t now = sys_milliseconds();
    m_lapsetime += now - m_prevtime;  // modulo 2^32: a wrap of the clock still gives the difference
    glutPostRedisplay();
    m_prevtime = now;
}

static void toggle_pause(void)
{
    m_pause = !m_pause;
    if (m_pause) {
        glutIdleFunc(NULL);
        glutPostRedisplay();  // show the pause caption at once
    } else {
        m_prevtime = sys_milliseconds();  // the paused interval is not show time
        glutIdleFunc(idle);
    }
}

void keyboard(unsigned char key, int x, int y)
{
    (void)x;
    (void)y;
    switch (key) {
    case 27:
    case 'q':
        my_exit(0);
    case ' ':
        toggle_pause();
        break;
    default:
        printf("key: %c(%u)\n", key, (unsigned)key);
        fflush(stdout);
        break;
    }
}

/* Moves show time by delta ms, stopping at zero going back. */
static void step(int32_t delta)
{
    if (delta < 0 && m_lapsetime < (uint32_t)-delta)
        m_lapsetime = 0;
    else
        m_lapsetime += (uint32_t)delta;
    glutPostRedisplay();
}

void special(int key, int x, int y)
{
    (void)x;
    (void)y;
    switch (key) {
    case GLUT_KEY_LEFT:  step(-1000); break;
    case GLUT_KEY_UP:    step(-100);  break;
    case GLUT_KEY_RIGHT: step(1000);  break;
    case GLUT_KEY_DOWN:  step(100);   break;
    default:
        printf("special: %d\n", key);
        fflush(stdout);
        break;
    }
}
