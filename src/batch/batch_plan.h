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
     out, photo-image, lines,   a relative path is relative to the list's
     font, caption-font, tex,   directory
     cues

   A row with no seed, and none on the command line, gets its row number,
   so a rerun makes the same bytes. A directory of frames is made with
   --jobs 1 (the rows share the cores) and gets --force when the batch has
   it.

   Faults of the shape return 2 after one line naming the list (and the row):
   a column that names no option, an option of the batch itself as a
   column (batch, shard, results, jobs, force, allow-paths, help, version),
   no out column, two rows with one output, and an output outside the list's
   directory (absolute, or through ..) without --allow-paths. A value a row
   cannot take (an empty out, a switch that is neither 0/1 nor true/false,
   several values for one option) is that job's fault: the row fails alone.
   Values the options themselves refuse are left to the row's run. */
#ifndef VEXA_BATCH_BATCH_PLAN_H
#define VEXA_BATCH_BATCH_PLAN_H

#include "batch_list.h"
#include "options.h"

#include <cstdint>
#include <string>
#include <vector>

struct batch_job {
    size_t row;
    long line;                      // where the row is in the list
    std::string out;                // as the list names it
    std::string out_path;           // as the run writes it
    bool has_seed;
    uint32_t seed;                  // the row's seed, when it reads as one
    std::vector<std::string> args;  // the run's command line, less the program's name
    std::string fault;              // why the row fails without running, or empty
};

int batch_plan(const capture_options& o, const batch_list& list, std::vector<batch_job>* jobs);

#endif
