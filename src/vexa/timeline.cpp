/* timeline.cpp - which picture belongs to which show time.

     0 - 8999 ms      countdown leader (countdown.cpp)
     9000 - 15999 ms  closing sequence (closing.cpp)
     16000 ms on      the show is over: nothing is drawn, and show_frame
                      tells its host so

   my_draw is called by show_frame with a cleared frame and an
   identity modelview; it leaves texturing and blending disabled. */
#include "vexa.h"

void my_draw(void)
{
    const uint32_t t = m_lapsetime;
    if (t < show_closing_ms)
        draw_countdown(t);
    else if (t <= show_last_ms)
        draw_closing(t);
}
