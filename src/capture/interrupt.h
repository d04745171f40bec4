/* interrupt.h - what vexa-capture undoes when SIGINT, SIGTERM or SIGHUP
   ends it: the files it was writing and the ffmpeg it started.

   interrupt_install sets the handlers (once, at start) for the signals not
   ignored already (as nohup and a shell's background jobs leave them).
   A file under construction is registered with interrupt_add_file before
   it is created and dropped with interrupt_drop_file once it is renamed
   into place or removed; a temporary directory likewise with
   interrupt_add_dir (the files in it go with it). A child process is
   registered with interrupt_set_child (0 when there is none). On a signal
   the handler kills and reaps the child, removes every registered file and
   directory and ends the program by the same signal, so the shell reports
   128 + the signal number.

   interrupt_hold(true) blocks the three signals in the calling thread until
   interrupt_hold(false), for steps that must not be cut in two (starting a
   child and registering it). interrupt_child_defaults puts the handled
   signals back to the default action in a forked child, before it unblocks
   them and execs. The registry is safe to use from several threads. */
#ifndef VEXA_CAPTURE_INTERRUPT_H
#define VEXA_CAPTURE_INTERRUPT_H

#include <sys/types.h>

void interrupt_install(void);
/* A slot number for interrupt_drop_file, or -1 when the path is too long
   or too many files are open at once (errno says which). */
int interrupt_add_file(const char* path);
int interrupt_add_dir(const char* path);
void interrupt_drop_file(int slot);
void interrupt_set_child(pid_t pid);
void interrupt_hold(bool hold);
void interrupt_child_defaults(void);

#endif
