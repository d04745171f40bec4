/* sys_web.cpp - the platform services of src/vexa/sys.h in a web browser.

   The clock is the page's high-resolution clock (performance.now). The page
   must never block, so there is no sleep here: the page's host
   (main_web.cpp) waits with a timer instead. The file queries serve the
   window program's artwork lookup, which the page does not use (its
   artwork is packed in). sys_exit cannot end a page:
   it jumps back to the exit point the host set with setjmp before it let
   the show run, and the host then keeps the picture black until the show
   is played again. */
#include "sys.h"
#include "web_host.h"

#include <emscripten.h>

jmp_buf web_exit_point;

uint32_t sys_milliseconds(void)
{
    return (uint32_t)(uint64_t)emscripten_get_now();
}

void sys_exit(int status)
{
    longjmp(web_exit_point, status == 0 ? web_exit_done : web_exit_failed);
}
