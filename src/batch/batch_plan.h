/* batch_plan.h - what each row of a list (batch_list.h) runs: the
   command line of a vexa-capture run of its own.

   batch_plan checks the list's shape against the options and, when it
   holds, fills one batch_job per row (all rows, whatever the shard). A
   column is a long option's name (`title`, `line`, `photo-image`, `seed`,
   `pop` ...) and `out`, which every list has. The row's arguments are the
   command line's options (those given with --batch, less the batch's own)
   with each option the row sets taking the place of the command line's,
   then the row's:

     an empty cell              the command line's value
     a switch (pop, fit ...)    1 or true: on; 0 or false: off (any case)
     line                       one strip per line of the cell (CSV), or
                                per item (a JSON array)
     a file's name              a relative path is relative to the list's
                                directory (out, and the options whose value
                                names a file: option_use_of in options.h)

   out and the files the options write (cues) are the places a row writes
   (batch_job::writes): each is resolved (batch_paths.h, symbolic links
   followed) before it is checked. A row with no seed, and none on the
   command line, gets its row number, so a rerun makes the same bytes. A
   directory of frames is made with --jobs 1 (the rows share the cores) and
   --force: the batch runs a row only when its set is unfinished (or with
   --force), and then replaces what is there.

   Faults of the shape return 2 after one line naming the list (and the row):
   a column that names no option, or an option that steers the whole batch
   (--jobs, --force, --results ...: option_use_of), a column's name holding
   a NUL, no out column, one place written twice (two rows, or a row's out
   and cues), a place inside another row's directory of frames, and
   (without --allow-paths) a place outside the list's directory: absolute,
   through .., or through a symbolic link leading out. A value a row cannot
   take (an empty out, a switch that is neither 0/1 nor true/false, several
   values for one option, a NUL, which no command line carries) is that
   job's fault: the row fails alone.
   Values the options themselves refuse are left to the row's run. */
#ifndef VEXA_BATCH_BATCH_PLAN_H
#define VEXA_BATCH_BATCH_PLAN_H

#include "batch_list.h"
#include "options.h"

#include <cstdint>
#include <string>
#include <vector>

/* A file or directory a row writes: the option (out, cues), the name as
   the list gives it, and the path as the run writes it. */
struct batch_write {
    std::string option;
    std::string name;
    std::string path;
};

struct batch_job {
    size_t row;
    long line;                      // where the row is in the list
    std::string out;                // as the list names it
    std::string out_path;           // as the run writes it
    bool has_seed;
    uint32_t seed;                  // the row's seed, when it reads as one
    std::vector<batch_write> writes;  // out first, then any other file the row writes
    std::vector<std::string> args;  // the run's command line, less the program's name
    std::string fault;              // why the row fails without running, or empty
};

int batch_plan(const capture_options& o, const batch_list& list, std::vector<batch_job>* jobs);

/* Refuses (2, after one line naming it) a results file that would replace
   the list or a row's output, or that lies inside a row's directory. */
int batch_check_results(const capture_options& o, const std::string& results, const std::vector<batch_job>& jobs);

#endif
