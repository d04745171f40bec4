/* batch_progress.h - the progress of a batch on standard error: rows done,
   failed, the time left.

   On a terminal one line, redrawn in place (\r), with a bar; a failure's
   message is printed above it. Otherwise a plain line per row rendered or
   failed (skipped rows only count). batch_progress_start once, then
   batch_progress_row as each row ends, batch_progress_say for a message,
   batch_progress_tick now and then (the time left), batch_progress_end
   last: the summary line. */
#ifndef VEXA_BATCH_BATCH_PROGRESS_H
#define VEXA_BATCH_BATCH_PROGRESS_H

#include <cstddef>
#include <string>

enum batch_status { row_done, row_skipped, row_failed };

void batch_progress_start(size_t rows);
void batch_progress_row(size_t row, const std::string& out, batch_status status, double seconds);
void batch_progress_say(const std::string& line);
void batch_progress_tick(void);
/* The summary; returns the number of rows that failed. */
size_t batch_progress_end(const char* results_path, bool interrupted);

/* A name as the progress shows it: as it is, or, when it holds a control
   character (C0, DEL, C1), in shell quotes $'...' with those as \ooo, so
   that no escape sequence reaches the terminal. Every line said is shown
   with its control characters so (batch_shown). */
std::string batch_quoted(const std::string& name);
std::string batch_shown(const std::string& text);

#endif
