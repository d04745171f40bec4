/* end_by_signal.h - ends the process by a signal it caught, after its own
   clean-up, the way it would have ended without a handler, so that a
   calling shell sees the interrupt (status 128 + sig, and ^C stops a loop).

     static void on_signal(int sig) { ...remove what was made...; end_by_signal(sig); }

   Puts the default action back, unblocks the signal in the calling thread
   and raises it. Returns only when the signal does not end the process
   (its default is to be ignored). Safe in a signal handler. */
#ifndef VEXA_END_BY_SIGNAL_H
#define VEXA_END_BY_SIGNAL_H

void end_by_signal(int sig);

#endif
