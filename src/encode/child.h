/* child.h - the programs vexa-capture runs (ffmpeg, ffprobe): started
   directly (no shell) with a pipe on their standard input or output,
   registered with the interrupt handler (interrupt.h) for as long as they
   run, and reaped; what each way of failing is called lives here too.

     child c;
     if (child_start(argv, pipe_to_child, &c) != 0)
         return 1;                             // "vexa-capture: cannot run ffmpeg: ..." said
     ... write(c.fd, ...) ...
     const std::string why = child_failure(c, child_finish(&c));
     if (!why.empty()) ... "ffmpeg failed with status 1" ...

   child_start returns 0, or 1 after one line on standard error (the program
   missing, say: known before anything is written to it). c.fd is our end of
   the pipe. The child gets the signals the program catches back at their
   default action, and SIGPIPE too. child_finish closes c.fd, waits for the
   child and returns its wait status. */
#ifndef VEXA_ENCODE_CHILD_H
#define VEXA_ENCODE_CHILD_H

#include <sys/types.h>

#include <string>
#include <vector>

/* pipe_all_from_child: its standard output and standard error both. */
enum child_pipe { pipe_to_child, pipe_from_child, pipe_all_from_child };

struct child {
    std::string name;  // argv[0], for messages
    pid_t pid = -1;
    int fd = -1;       // our end of the pipe: the child's standard input or output
};

int child_start(const std::vector<std::string>& argv, child_pipe way, child* c);
int child_finish(child* c);
/* "ffmpeg failed with status 1", "ffprobe was killed by signal 9", or
   nothing when the wait status says it ended well. */
std::string child_failure(const child& c, int status);

#endif
