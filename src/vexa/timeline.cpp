/* timeline.cpp - which picture belongs to which show time.

     0 - 8999 ms      countdown leader (countdown.cpp)
     9000 - 15999 ms  closing sequence (closing.cpp)
     16000 ms on      the show is over: exit with status 0, drawing nothing

   my_draw is called by the display callback with a cleared frame and an
   identity modelview; it leaves texturing and blending disabled. */
#include "vexa.h"

void my_draw(void)
{
    const uint32_t t = m_lapsetime;
    if (t <= 8999)
        draw_countdown(t);
    else if (t <= 15999)
        draw_closing(t);
    else
        my_exit(0);
}
