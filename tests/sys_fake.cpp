/* sys_fake.cpp - a clock the tests set by hand; sleeping advances it. The
   exit is the process's, as on POSIX. */
#include "gl_harness.h"
#include "sys.h"

#include <cstdlib>

uint32_t fake_clock_ms;

uint32_t sys_milliseconds(void)
{
    return fake_clock_ms;
}

void sys_sleep(uint32_t ms)
{
    fake_clock_ms += ms;
}

void sys_exit(int status)
{
    exit(status);
}
