/* bench_clock.h - the start-up benchmarks' stopwatch: CLOCK_MONOTONIC in
   nanoseconds, the same clock in every process, so a child can report a
   moment that its parent set beside the moment it started the child.

     bench_mark("frame");   // prints "frame <ns>" on standard output */
#ifndef VEXA_BENCH_CLOCK_H
#define VEXA_BENCH_CLOCK_H

#include <cstdint>
#include <cstdio>
#include <ctime>

inline int64_t bench_now_ns(void)
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}

inline void bench_mark(const char* what)
{
    printf("%s %lld\n", what, (long long)bench_now_ns());
    fflush(stdout);
}

#endif
