/* progress.h - a progress bar on standard error for long captures.

   progress_show(done, total) redraws one line "[#####.....] done/total
   frames" in place; progress_end finishes the line. Both do nothing unless
   standard error is a terminal, so logs and pipes stay quiet. */
#ifndef VEXA_CAPTURE_PROGRESS_H
#define VEXA_CAPTURE_PROGRESS_H

#include <cstdint>

void progress_show(uint32_t done, uint32_t total);
void progress_end(void);

#endif
