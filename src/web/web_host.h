/* web_host.h - what the page's host (main_web.cpp) and the browser's
   platform services (sys_web.cpp) share.

   Every call from the page into show code that may end the show runs after
   setjmp(web_exit_point) returned 0; sys_exit jumps back there with
   web_exit_done (status 0) or web_exit_failed. */
#ifndef VEXA_WEB_HOST_H
#define VEXA_WEB_HOST_H

#include <csetjmp>

enum { web_exit_done = 1, web_exit_failed = 2 };

extern jmp_buf web_exit_point;

#endif
