/* progress.cpp - see progress.h. */
#include "progress.h"

#include <unistd.h>

#include <cstdio>

enum { bar_width = 40 };

static bool on_terminal(void)
{
    static const int tty = isatty(STDERR_FILENO);
    return tty == 1;
}

void progress_show(uint32_t done, uint32_t total)
{
    if (!on_terminal() || total == 0)
        return;
    const uint32_t filled = (uint32_t)((uint64_t)done * bar_width / total);
    char bar[bar_width + 1];
    for (uint32_t i = 0; i < bar_width; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[bar_width] = '\0';
    fprintf(stderr, "\r[%s] %u/%u frames", bar, (unsigned)done, (unsigned)total);
    fflush(stderr);
}

void progress_end(void)
{
    if (on_terminal())
        fputc('\n', stderr);
}
