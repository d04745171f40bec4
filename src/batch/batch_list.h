/* batch_list.h - the list vexa-capture --batch reads: one output per row.

     .csv    comma-separated (RFC 4180), a header row naming the columns,
             UTF-8 (a byte-order mark is skipped); a quoted cell may hold
             commas, doubled quotes and line breaks
     .jsonl  one JSON object per line; a value is a string, a number, a
             boolean, null, or (for several values) an array of strings

   batch_list_read fills a batch_list: the columns in the order first seen,
   and each row's cells, one per column. A cell holds its values as text
   (none for an empty cell or null; a JSON array gives several; a boolean
   gives "true" or "false"). A value the row cannot take (a nested object)
   is kept as the row's fault, which fails that row alone. A fault of the
   list itself (it cannot be read, a malformed line, a bad header, a row
   with more or fewer cells than the header) returns 2 after one line naming
   the list and its line; otherwise 0. Rows are numbered from 0, the header
   not counted. */
#ifndef VEXA_BATCH_BATCH_LIST_H
#define VEXA_BATCH_BATCH_LIST_H

#include <string>
#include <vector>

enum : long long { max_list_bytes = 1LL << 30 };

struct batch_row {
    long line;  // where the row starts in the list, from 1
    std::vector<std::vector<std::string>> cells;  // one per column
    std::string fault;  // a value this row cannot take, or empty
};

struct batch_list {
    std::vector<std::string> columns;
    std::vector<batch_row> rows;
};

int batch_list_read(const char* path, batch_list* list);

/* The readers of each kind (batch_csv.cpp, batch_jsonl.cpp), on the whole
   text; they report as batch_list_read does. */
int batch_csv_read(const char* path, const std::string& text, batch_list* list);
int batch_jsonl_read(const char* path, const std::string& text, batch_list* list);

/* A fault of the list: one line naming path:line, returns 2 (control
   characters shown as batch_progress.h shows them). */
int batch_list_fault(const char* path, long line, const std::string& what);

#endif
