/* batch_csv.cpp - the .csv lists (batch_list.h), read with libcsv in its
   strict mode: a quote inside an unquoted cell, text after a closing quote
   or a quote left open at the end is a fault of the list. Spaces are kept
   as part of the cells (RFC 4180); around the header's names they are
   dropped. Lines are fed one at a time, so that a fault names its line. */
#include "batch_list.h"

#include <csv.h>

#include <set>

namespace {

struct csv_state {
    batch_list* list;
    std::vector<std::string> record;  // the cells of the record being read
    long line;                        // the line being fed
    long record_line;                 // where the record began (0: none begun)
    std::string fault;                // the first fault of the list's shape
    long fault_line;
};

void on_cell(void* text, size_t length, void* data)
{
    csv_state* s = (csv_state*)data;
    if (s->record.empty())
        s->record_line = s->line;
    s->record.push_back(text ? std::string((const char*)text, length) : std::string());
}

std::string trimmed(const std::string& name)
{
    const size_t first = name.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(" \t") - first + 1);
}

void on_record(int, void* data)
{
    csv_state* s = (csv_state*)data;
    std::vector<std::string> record;
    record.swap(s->record);
    if (!s->fault.empty())
        return;
    batch_list* list = s->list;
    if (list->columns.empty()) {  // the header
        std::set<std::string> seen;
        for (const std::string& cell : record) {
            const std::string name = trimmed(cell);
            if (name.empty() || !seen.insert(name).second) {
                s->fault = name.empty() ? "the header has an empty column name" : "the header names " + name + " twice";
                s->fault_line = s->record_line;
                return;
            }
            list->columns.push_back(name);
        }
        return;
    }
    if (record.size() != list->columns.size()) {
        s->fault = std::to_string(record.size()) + " cells where the header has " + std::to_string(list->columns.size());
        s->fault_line = s->record_line;
        return;
    }
    batch_row row;
    row.line = s->record_line;
    for (const std::string& cell : record)
        row.cells.push_back(cell.empty() ? std::vector<std::string>() : std::vector<std::string>{cell});
    list->rows.push_back(row);
}

int no_spaces(unsigned char)
{
    return 0;
}

}  // namespace

int batch_csv_read(const char* path, const std::string& text, batch_list* list)
{
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
        return batch_list_fault(path, 0, "out of memory");
    csv_set_space_func(&parser, no_spaces);
    csv_state s = {list, {}, 0, 0, std::string(), 0};
    bool malformed = false;
    for (size_t at = 0; at < text.size() && !malformed && s.fault.empty();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        ++s.line;
        malformed = csv_parse(&parser, text.data() + at, end - at, on_cell, on_record, &s) != end - at;
        at = end;
    }
    if (!malformed && s.fault.empty())
        malformed = csv_fini(&parser, on_cell, on_record, &s) != 0;
    const std::string why = csv_strerror(csv_error(&parser));
    csv_free(&parser);
    if (malformed)
        return batch_list_fault(path, s.line, "not valid CSV (" + why + ")");
    if (!s.fault.empty())
        return batch_list_fault(path, s.fault_line, s.fault);
    if (list->columns.empty())
        return batch_list_fault(path, 0, "no header row");
    return 0;
}
