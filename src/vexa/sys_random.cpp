/* sys_random.cpp - the show's pseudo-random generator.

   A linear congruential generator (multiplier 214013, increment 2531011)
   whose output is bits 16 to 30 of the state: integers 0 to 32767, and the
   same sequence for the same seed on every platform, so a seeded layout can
   be reproduced anywhere. */
#include "sys.h"

static uint32_t sys_random_state = 1;

void sys_srand(uint32_t seed)
{
    sys_random_state = seed;
}

int sys_rand(void)
{
    sys_random_state = sys_random_state * 214013u + 2531011u;
    return (int)((sys_random_state >> 16) & 0x7fffu);
}
