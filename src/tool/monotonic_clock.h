/* monotonic_clock.h - seconds on a clock that only goes forward (not the
   wall clock, which may jump), for durations and rates.

     const double started = monotonic_seconds();  ...  monotonic_seconds() - started */
#ifndef VEXA_MONOTONIC_CLOCK_H
#define VEXA_MONOTONIC_CLOCK_H

double monotonic_seconds(void);

#endif
