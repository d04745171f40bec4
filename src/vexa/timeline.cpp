/* timeline.cpp - which picture belongs to which show time, by the show's
   timeline (show_timeline.h; classically):

     0 - closing_ms         countdown leader (countdown.cpp)       0 - 8999 ms
     closing_ms - last_ms   closing sequence (closing.cpp)      9000 - 15999 ms
     end_ms on              the show is over: nothing is drawn,   16000 ms on
                            and show_frame tells its host so

   my_draw is called by show_frame with a cleared frame and an
   identity modelview; it leaves texturing and blending disabled. */
#include "vexa.h"

show_timeline my_timeline = classic_timeline();

void my_draw(void)
{
    const uint32_t t = m_lapsetime;
    if (t < my_timeline.closing_ms)
        draw_countdown(t);
    else if (t <= my_timeline.last_ms)
        draw_closing(t);
}
