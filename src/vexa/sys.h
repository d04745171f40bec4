/* sys.h - the platform services the show needs, and nothing more.

   sys_milliseconds  a monotonic millisecond count truncated to 32 bits; only
                     differences of two readings (modulo 2^32) and seeds are used
   sys_sleep         block the thread for ms milliseconds
   sys_srand         seed the show's pseudo-random generator
   sys_rand          next integer from 0 to 32767 inclusive
   sys_is_directory  whether path names a directory (links followed)
   sys_program_dir   the directory holding the running program's own file,
                     links resolved; "" when the system cannot tell

   sys_linux.cpp implements the clock, the sleep and the file queries for
   Linux;
   sys_random.cpp the generator, the same sequence on every platform. Tests
   link their own clock instead of sys_linux.cpp. No other file of the
   program includes a platform header. */
#ifndef VEXA_SYS_H
#define VEXA_SYS_H

#include <cstdint>
#include <string>

uint32_t sys_milliseconds(void);
void sys_sleep(uint32_t ms);
void sys_srand(uint32_t seed);
int sys_rand(void);
bool sys_is_directory(const char* path);
std::string sys_program_dir(void);

#endif
