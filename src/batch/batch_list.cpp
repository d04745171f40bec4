/* batch_list.cpp - see batch_list.h: the list read whole, its kind told by
   its name, a byte-order mark skipped. */
#include "batch_list.h"

#include <strings.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int batch_list_fault(const char* path, long line, const std::string& what)
{
    if (line > 0)
        fprintf(stderr, "vexa-capture: %s:%ld: %s\n", path, line, what.c_str());
    else
        fprintf(stderr, "vexa-capture: %s: %s\n", path, what.c_str());
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
    FILE* f = fopen(path, "rb");
    if (!f)
        return batch_list_fault(path, 0, std::string("cannot open: ") + strerror(errno));
    std::string text;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        text.append(chunk, n);
    const bool failed = ferror(f);
    const int error = errno;
    fclose(f);
    if (failed)
        return batch_list_fault(path, 0, std::string("cannot read: ") + strerror(error));
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    *list = batch_list{};
    return csv ? batch_csv_read(path, text, list) : batch_jsonl_read(path, text, list);
}
