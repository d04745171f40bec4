/* batch_results.h - the results file of a batch: JSON Lines, one object
   per row as it ends, written through at once so that an interrupted batch
   keeps the record of the rows it finished:

     {"row":3,"out":"ada.mp4","status":"failed","seconds":0.42,"seed":3,
      "message":"vexa-capture: ada.jpg: cannot open ..."}

   status is "done" (rendered), "skipped" (complete already) or "failed";
   message is there only for a failure; seed is null when the row's seed
   does not read as one. batch_results_open locks the file (flock) until
   batch_results_close, and only then empties it; 0, or 1 after one line
   naming it (another batch holding it, say). batch_results_add returns 0, or 1 when the
   line could not be written (said once). */
#ifndef VEXA_BATCH_BATCH_RESULTS_H
#define VEXA_BATCH_BATCH_RESULTS_H

#include <cstddef>
#include <cstdint>
#include <string>

struct batch_result {
    size_t row;
    std::string out;
    const char* status;
    double seconds;
    bool has_seed;
    uint32_t seed;
    std::string message;
};

int batch_results_open(const char* path);
int batch_results_add(const batch_result& r);
int batch_results_close(void);
/* In a forked child: the file closed, its lock left to the parent. */
void batch_results_forget(void);

#endif
