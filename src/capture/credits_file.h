/* credits_file.h - a credits roll read from a file (--credits FILE, a batch
   list's credits column).

     std::vector<show_credit> credits;
     if (credits_read("class.txt", &credits) != 0)  ... one line on stderr, status 1

   A NAME.csv file is CSV (RFC 4180) whose first row names its columns: name,
   and role if the lines have roles. Any other file is UTF-8 text, a line a
   credit: a name alone, or a role and a name separated by a tab or " — "
   (an em dash with a space either side); a blank line is a gap in the roll.
   Refused, naming the file (and the line): a file that is not a regular
   file (a FIFO is never waited on), larger than credits_max_bytes, not
   UTF-8, or of more than credits_max lines. Whether each line fits the
   frame is for the painter (credits_art.h). */
#ifndef VEXA_CAPTURE_CREDITS_FILE_H
#define VEXA_CAPTURE_CREDITS_FILE_H

#include "show_doc.h"

#include <vector>

enum : long long { credits_max_bytes = 100LL << 20 };

int credits_read(const char* path, std::vector<show_credit>* credits);

#endif
