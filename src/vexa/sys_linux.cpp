/* sys_linux.cpp - clock, sleep and exit on Linux and other POSIX systems. */
#include "sys.h"

#include <cerrno>
#include <cstdlib>
#include <time.h>

uint32_t sys_milliseconds(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = (uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u;
    return (uint32_t)ms;
}

void sys_sleep(uint32_t ms)
{
    struct timespec left;
    left.tv_sec = ms / 1000u;
    left.tv_nsec = (long)(ms % 1000u) * 1000000L;
    // A signal cuts the sleep short; sleep the rest. The interruption is not
    // an error of the program, so it must not be left behind in errno.
    const int saved = errno;
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
    errno = saved;
}

void sys_exit(int status)
{
    exit(status);
}
