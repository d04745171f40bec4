/* batch.h - vexa-capture --batch LIST: one output per row of a list.

   batch_main reads and checks the whole list first (batch_list.h,
   batch_plan.h: a fault of its shape is status 2 before anything is
   rendered), then runs each row of its shard (--shard K/N: the rows whose
   index is K modulo N) as a vexa-capture run of its own (row_main, in a
   child process), --jobs of them at once. A row whose output is complete already is skipped (batch_done.h)
   unless --force. A run that fails or crashes fails its row alone. Each
   row's end goes to the results file (batch_results.h: --results, else
   LIST.results.jsonl, LIST.results.K-of-N.jsonl with --shard), which is
   locked for the batch's whole run (a second batch writing it is refused
   at once), and to the progress on standard error (batch_progress.h).
   The artwork every row paints alike is painted once and shared through
   a cache in the list's directory (batch_cache.h).
   A results file that would replace the list or an output, or that lies
   in a row's directory, is refused (status 2) before anything runs.

   Returns 0 when every row is done, 1 when any failed (the summary says
   how many), 2 for a fault of the list. SIGINT, SIGTERM and SIGHUP stop the
   runs under way (each removes what it was writing), keep the rows already
   finished, and end the program by the same signal. The directories the
   batch made for its rows are removed at its end when they are empty. */
#ifndef VEXA_BATCH_BATCH_H
#define VEXA_BATCH_BATCH_H

#include "options.h"

/* row_main runs one row in a forked child: the program's own run on the
   row's command line (argv[0] the program's name), returning its status. */
int batch_main(const capture_options& o, int (*row_main)(int argc, char** argv));

#endif
