/* batch_list.cpp - see batch_list.h: the list read whole, its kind told by
   its name, a byte-order mark skipped. */
#include "batch_list.h"
#include "batch_progress.h"
#include "input_file.h"

#include <unistd.h>

#include <strings.h>

#include <cstdio>
#include <cstring>

int batch_list_fault(const char* path, long line, const std::string& what)
{
    const std::string where = batch_quoted(path) + (line > 0 ? ":" + std::to_string(line) : std::string());
    fprintf(stderr, "vexa-capture: %s: %s\n", where.c_str(), batch_shown(what).c_str());
    return 2;
}

static bool ends_with(const char* name, const char* ending)
{
    const size_t n = strlen(name), e = strlen(ending);
    return n > e && strcasecmp(name + n - e, ending) == 0;
}

int batch_list_read(const char* path, batch_list* list)
{
    const bool csv = ends_with(path, ".csv");
    if (!csv && !ends_with(path, ".jsonl"))
        return batch_list_fault(path, 0, "a list is a .csv or a .jsonl file");
    std::string text, why;
    const int fd = input_open(path, max_list_bytes, &why, nullptr);  // a regular file: a FIFO is never waited on
    if (fd < 0)
        return batch_list_fault(path, 0, "cannot open: " + why);
    const bool read = input_read_all(fd, max_list_bytes, &text, &why);
    close(fd);
    if (!read)
        return batch_list_fault(path, 0, "cannot read: " + why);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    *list = batch_list{};
    return csv ? batch_csv_read(path, text, list) : batch_jsonl_read(path, text, list);
}
