/* options_batch.cpp - the options of a batch (src/batch): --batch LIST and
   the ones only a batch takes (--shard, --results, --allow-paths); and the
   check that ends the command line's checks for a batch, whose rows are
   checked each by its own run. Rows and checks as option_table.h sets out. */
#include "option_table.h"

static bool set_batch(parse_state* s, const char* v)
{
    s->o->batch = v;
    return *v != '\0';
}

static bool set_shard(parse_state* s, const char* v)
{
    unsigned long k, n;
    const char* rest;
    if (!read_number_until(v, '/', 0, 1000000, &k, &rest) || !read_number(rest, 1, 1000000, &n) || k >= n)
        return false;
    s->o->shard = (unsigned)k;
    s->o->shards = (unsigned)n;
    return true;
}

static bool set_results(parse_state* s, const char* v)
{
    s->o->results = v;
    return *v != '\0';
}

static bool set_allow_paths(parse_state* s, const char*)
{
    s->o->allow_paths = true;
    return true;
}

static const option_row rows[] = {
    {230, "batch", 0, "LIST", "one output per row of a list (.csv with a header row, or .jsonl);\nthe other options are every row's defaults",
     "--batch wants a .csv or .jsonl list", set_batch, nullptr, file_none, true},
    {240, "shard", 0, "K/N", "with --batch: only the rows whose index is K modulo N",
     "--shard wants K/N, K from 0 to N-1", set_shard, nullptr, file_none, true},
    {250, "results", 0, "FILE", "with --batch: the results file (default LIST.results.jsonl)",
     "--results wants a file", set_results, nullptr, file_none, true},
    {260, "allow-paths", 0, NULL, "with --batch: outputs may lie outside the list's directory", NULL,
     set_allow_paths, nullptr, file_none, true},
};
const option_group batch_options = {rows, sizeof rows / sizeof rows[0]};

check_result check_batch(parse_state* s)
{
    capture_options* o = s->o;
    if (o->batch) {  // the rest is checked row by row, by each row's own run
        o->force = s->force;
        return o->out ? option_fail("with --batch the outputs come from the list's out column", NULL) : check_accept;
    }
    if (o->shards > 1 || o->results || o->allow_paths)
        return option_fail("--shard, --results and --allow-paths are for --batch", NULL);
    return check_next;
}
