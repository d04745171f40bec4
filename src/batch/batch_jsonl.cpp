/* batch_jsonl.cpp - the .jsonl lists (batch_list.h), each line parsed with
   nlohmann's JSON reader. Blank lines are skipped; a line that is not a JSON
   object is a fault of the list. The columns are the keys, in the order
   first seen; a key a row lacks is an empty cell. */
#include "batch_list.h"

#include <nlohmann/json.hpp>

#include <map>

using json = nlohmann::json;

/* A value as a cell's texts, or false when the row cannot take it. */
static bool cell_values(const json& v, std::vector<std::string>* values)
{
    switch (v.type()) {
    case json::value_t::null:
        return true;
    case json::value_t::string:
        values->push_back(v.get<std::string>());
        return true;
    case json::value_t::boolean:
        values->push_back(v.get<bool>() ? "true" : "false");
        return true;
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
    case json::value_t::number_float:
        values->push_back(v.dump());
        return true;
    case json::value_t::array:
        for (const json& e : v) {
            if (!e.is_string())
                return false;
            values->push_back(e.get<std::string>());
        }
        return true;
    default:
        return false;
    }
}

int batch_jsonl_read(const char* path, const std::string& text, batch_list* list)
{
    std::map<std::string, size_t> column_of;
    long line = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string body = text.substr(at, end - at);
        at = end + 1;
        ++line;
        if (body.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const json object = json::parse(body, nullptr, false);
        if (!object.is_object())
            return batch_list_fault(path, line, object.is_discarded() ? "not valid JSON" : "not a JSON object");
        batch_row row;
        row.line = line;
        row.cells.resize(list->columns.size());
        for (const auto& item : object.items()) {
            auto known = column_of.find(item.key());
            if (known == column_of.end()) {
                known = column_of.emplace(item.key(), list->columns.size()).first;
                list->columns.push_back(item.key());
                row.cells.resize(list->columns.size());
            }
            if (!cell_values(item.value(), &row.cells[known->second]) && row.fault.empty())
                row.fault = item.key() + " wants a string, a number, a boolean or an array of strings";
        }
        list->rows.push_back(row);
    }
    for (batch_row& row : list->rows)  // a row read before a later key appeared
        row.cells.resize(list->columns.size());
    return 0;
}
