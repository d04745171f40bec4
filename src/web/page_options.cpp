/* page_options.cpp - reads the page's address options (see page_options.h). */
#include "page_options.h"

#include "decimal.h"
#include "show_times.h"

#include <cstdio>
#include <cstring>

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
    return length == strlen(wanted) && memcmp(name, wanted, length) == 0;
}

int page_options_parse(page_options* options, const char* query)
{
    *options = page_options{};
    if (*query == '?')
        ++query;
    int status = 0;
    while (*query) {
        const char* end = strchr(query, '&');
        const size_t length = end ? (size_t)(end - query) : strlen(query);
        const char* equals = (const char*)memchr(query, '=', length);
        const size_t name_length = equals ? (size_t)(equals - query) : length;
        const char* value = equals ? equals + 1 : query + length;
        const size_t value_length = (size_t)(query + length - value);
        uint32_t number = 0;
        if (is(query, name_length, "photo")) {
            options->photo = true;
        } else if (is(query, name_length, "fps")) {
            options->fps = true;
        } else if (is(query, name_length, "paused")) {
            options->paused = true;
        } else if (is(query, name_length, "crop")) {
            options->crop = true;
        } else if (is(query, name_length, "seed")) {
            if (parse_u32(value, value_length, &number)) {
                options->has_seed = true;
                options->seed = number;
            } else if (status == 0) {
                fprintf(stderr, "vexa: ?seed=%.*s: not a seed (0 to 4294967295)\n", (int)value_length, value);
                status = 1;
            }
        } else if (is(query, name_length, "t")) {
            if (parse_u32(value, value_length, &number) && number <= show_last_ms) {
                options->start_ms = number;
            } else if (status == 0) {
                fprintf(stderr, "vexa: ?t=%.*s: not a show time (0 to %u ms)\n", (int)value_length, value,
                        (unsigned)show_last_ms);
                status = 1;
            }
        }
        query += length;
        if (*query == '&')
            ++query;
    }
    return status;
}
