/* page_options.cpp - reads the page's address options (see page_options.h). */
#include "page_options.h"

#include "decimal.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

/* A decimal number of 1 to 10 digits that fits 32 bits, and nothing else. */
static bool parse_u32(const char* text, size_t length, uint32_t* value)
{
    uint64_t v;
    if (!read_decimal(text, length, 10, &v) || v > UINT32_MAX)
        return false;
    *value = (uint32_t)v;
    return true;
}

static bool is(const char* name, size_t length, const char* wanted)
{
    return length == strlen(wanted) && strncasecmp(name, wanted, length) == 0;
}

/* A switch's value: none or empty, 1, true, yes, on turn it on; 0, false,
   no, off turn it off (any case). */
static bool parse_switch(const char* text, size_t length, bool* value)
{
    static const char* const on[] = {"", "1", "true", "yes", "on"};
    static const char* const off[] = {"0", "false", "no", "off"};
    for (const char* word : on)
        if (is(text, length, word))
            return *value = true;
    for (const char* word : off)
        if (is(text, length, word)) {
            *value = false;
            return true;
        }
    return false;
}

/* At most this many characters of a bad value are quoted back. */
enum { quoted_max = 40 };

int page_options_parse(page_options* options, const char* query)
{
    *options = page_options{};
    if (*query == '?')
        ++query;
    struct {
        const char* name;
        bool* value;
    } const switches[] = {{"photo", &options->photo}, {"fps", &options->fps}, {"paused", &options->paused},
                          {"crop", &options->crop}};
    int status = 0;
    while (*query) {
        const char* end = strchr(query, '&');
        const size_t length = end ? (size_t)(end - query) : strlen(query);
        const char* equals = (const char*)memchr(query, '=', length);
        const int name_length = (int)(equals ? (size_t)(equals - query) : length);
        const char* value = equals ? equals + 1 : query + length;
        const size_t value_length = (size_t)(query + length - value);
        const int shown = value_length < quoted_max ? (int)value_length : quoted_max;
        const char* what = NULL;  // why the value is bad
        uint32_t number = 0;
        for (const auto& s : switches)
            if (name_length == (int)strlen(s.name) && memcmp(query, s.name, (size_t)name_length) == 0 &&
                !parse_switch(value, value_length, s.value))
                what = "not on or off (1, true, yes, on; 0, false, no, off)";
        if (name_length == 4 && memcmp(query, "seed", 4) == 0) {
            if (parse_u32(value, value_length, &number)) {
                options->has_seed = true;
                options->seed = number;
            } else {
                what = "not a seed (0 to 4294967295)";
            }
        } else if (name_length == 1 && *query == 't') {
            // Its range is the show's, known once the show's document is in.
            options->has_start = parse_u32(value, value_length, &number);
            options->start_ms = options->has_start ? number : 0;
            if (!options->has_start)
                what = "not a show time (a whole number of ms)";
        }
        if (what) {
            fprintf(stderr, "vexa: ?%.*s=%.*s%s: %s\n", name_length, query, shown, value,
                    (size_t)shown < value_length ? "..." : "", what);
            status = 1;
        }
        query += length;
        if (*query == '&')
            ++query;
    }
    return status;
}

bool page_time_check(uint32_t start_ms, uint32_t last_ms)
{
    if (start_ms <= last_ms)
        return true;
    fprintf(stderr, "vexa: ?t=%u: not a show time (0 to %u ms)\n", (unsigned)start_ms, (unsigned)last_ms);
    return false;
}
