/* credits_file.cpp - see credits_file.h. */
#include "credits_file.h"
#include "input_file.h"
#include "show_timeline.h"
#include "text.h"

#include <csv.h>
#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

static int refuse(const char* path, long line, const std::string& what)
{
    if (line > 0)
        fprintf(stderr, "vexa-capture: %s: line %ld: %s\n", path, line, what.c_str());
    else
        fprintf(stderr, "vexa-capture: %s: %s\n", path, what.c_str());
    return 1;
}

static bool utf8_line(const std::string& s)
{
    std::u32string out;
    if (!decode_utf8(s, out))
        return false;
    for (char32_t c : out)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}

/* role <tab> name, role " — " name, or a name alone. */
static show_credit split_line(const std::string& line)
{
    size_t at = line.find('\t');
    size_t skip = 1;
    if (at == std::string::npos) {
        at = line.find(" \u2014 ");
        skip = strlen(" \u2014 ");
    }
    if (at == std::string::npos)
        return {"", line};
    return {line.substr(0, at), line.substr(at + skip)};
}

struct csv_state {
    std::vector<std::string> row;
    std::vector<std::vector<std::string>> rows;
};

static void on_cell(void* cell, size_t size, void* data)
{
    static_cast<csv_state*>(data)->row.emplace_back(static_cast<const char*>(cell), size);
}

static void on_record(int, void* data)
{
    csv_state* s = static_cast<csv_state*>(data);
    s->rows.push_back(std::move(s->row));
    s->row.clear();
}

static int read_csv(const char* path, const std::string& text, std::vector<show_credit>* credits)
{
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_APPEND_NULL) != 0)
        return refuse(path, 0, "cannot start the CSV reader");
    csv_state s;
    const bool malformed = csv_parse(&parser, text.data(), text.size(), on_cell, on_record, &s) != text.size() ||
                           csv_fini(&parser, on_cell, on_record, &s) != 0;
    csv_free(&parser);
    if (malformed)
        return refuse(path, (long)s.rows.size() + 1, "not CSV (RFC 4180)");
    if (s.rows.empty())
        return refuse(path, 0, "no header row (name, or role,name)");
    int role = -1, name = -1;
    for (size_t c = 0; c < s.rows[0].size(); ++c) {
        const std::string& h = s.rows[0][c];
        if (strcasecmp(h.c_str(), "role") == 0 && role < 0)
            role = (int)c;
        else if (strcasecmp(h.c_str(), "name") == 0 && name < 0)
            name = (int)c;
        else
            return refuse(path, 1, "unknown column \"" + h + "\" (the columns are role and name)");
    }
    if (name < 0)
        return refuse(path, 1, "no name column");
    if (s.rows.size() - 1 > credits_max)
        return refuse(path, credits_max + 2, "more than " + std::to_string(credits_max) + " credits");
    for (size_t r = 1; r < s.rows.size(); ++r) {
        const std::vector<std::string>& row = s.rows[r];
        show_credit c;
        c.name = (size_t)name < row.size() ? row[(size_t)name] : "";
        c.role = role >= 0 && (size_t)role < row.size() ? row[(size_t)role] : "";
        if (!utf8_line(c.name) || !utf8_line(c.role))
            return refuse(path, (long)r + 1, "not one line of UTF-8 text");
        credits->push_back(c);
    }
    return 0;
}

int credits_read(const char* path, std::vector<show_credit>* credits)
{
    credits->clear();
    std::string why, text;
    const int fd = input_open(path, credits_max_bytes, &why, nullptr);
    if (fd < 0)
        return refuse(path, 0, why);
    const bool read = input_read_all(fd, credits_max_bytes, &text, &why);
    close(fd);
    if (!read)
        return refuse(path, 0, why);
    const size_t n = strlen(path);
    if (n > 4 && strcasecmp(path + n - 4, ".csv") == 0)
        return read_csv(path, text, credits);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);  // a byte-order mark
    long line = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string s = text.substr(start, end - start);
        start = end + 1;
        ++line;
        if (!s.empty() && s.back() == '\r')
            s.pop_back();
        if ((size_t)line > credits_max)
            return refuse(path, line, "more than " + std::to_string(credits_max) + " credits");
        const show_credit c = split_line(s);
        if (!utf8_line(c.role) || !utf8_line(c.name))
            return refuse(path, line, "not one line of UTF-8 text");
        credits->push_back(c);
    }
    return 0;
}
