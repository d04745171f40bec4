/* interrupt.h - what vexa-capture undoes when SIGINT, SIGTERM or SIGHUP
   ends it: the files it was writing and the ffmpeg it started.

   interrupt_install sets the handlers (once, at start) for the signals not
   ignored already (as nohup and a shell's background jobs leave them).
   A file under construction is registered with interrupt_add_file before
   it is created and dropped with interrupt_drop_file once it is renamed
   into place or removed; a temporary directory likewise with
   interrupt_add_dir (all it holds goes with it). Child processes are
   registered with interrupt_add_child and dropped with interrupt_drop_child
   before they are reaped; a forked process calls interrupt_forget_children
   first, as its parent's children are not its own. On a signal the handler
   puts /dev/null in place of standard error (nothing the program says after
   the interrupt is news), kills and reaps the children, removes every
   registered file and directory and ends the program by the same signal,
   so the shell reports 128 + the signal number.

   interrupt_hold(true) blocks the three signals in the calling thread until
   interrupt_hold(false), for steps that must not be cut in two (starting a
   child and registering it). interrupt_handled gives the signals the
   handler catches (not those ignored from the start), which a program run
   as a child gets back at their default action. The registry is safe to
   use from several threads. */
#ifndef VEXA_ENCODE_INTERRUPT_H
#define VEXA_ENCODE_INTERRUPT_H

#include <signal.h>
#include <sys/types.h>

void interrupt_install(void);
/* A slot number for interrupt_drop_file, or -1 when the path is too long
   or too many files are open at once (errno says which). */
int interrupt_add_file(const char* path);
int interrupt_add_dir(const char* path);
void interrupt_drop_file(int slot);
void interrupt_add_child(pid_t pid);
void interrupt_drop_child(pid_t pid);
void interrupt_forget_children(void);
void interrupt_hold(bool hold);
void interrupt_handled(sigset_t* set);

#endif
