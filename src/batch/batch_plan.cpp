/* batch_plan.cpp - see batch_plan.h. */
#include "batch_plan.h"
#include "doc_load.h"
#include "output_kind.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

/* Options that steer the batch rather than a row. */
static const char* const batch_only[] = {"batch", "shard", "results", "jobs", "force", "allow-paths", "help", "version",
                                         "save-show"};
/* Options naming a file or directory besides the output. */
static const char* const path_options[] = {"photo-image", "lines", "font", "caption-font", "tex", "cues", "show"};

static bool listed(const char* name, const char* const* names, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (strcmp(names[i], name) == 0)
            return true;
    return false;
}

#define LISTED(name, names) listed(name, names, sizeof names / sizeof names[0])

/* The directory part of path, with its slash ("" for a bare name). */
static std::string directory_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

/* path with ".", empty and "dir/.." steps taken out, and no slash at the
   end: one spelling per place, as far as the names tell. */
static std::string normal_path(const std::string& path)
{
    std::vector<std::string> steps;
    size_t at = 0;
    while (at <= path.size()) {
        size_t end = path.find('/', at);
        if (end == std::string::npos)
            end = path.size();
        const std::string step = path.substr(at, end - at);
        at = end + 1;
        if (step.empty() || step == ".")
            continue;
        if (step == ".." && !steps.empty() && steps.back() != "..")
            steps.pop_back();
        else
            steps.push_back(step);
    }
    std::string out = path[0] == '/' ? "/" : "";
    for (size_t i = 0; i < steps.size(); ++i)
        out += (i ? "/" : "") + steps[i];
    return out.empty() ? "." : out;
}

static bool escapes(const std::string& name)
{
    if (name[0] == '/')
        return true;
    return ("/" + name + "/").find("/../") != std::string::npos;
}

/* A switch's cell: 1 on, 0 off, -1 neither. */
static int switch_value(const std::string& v)
{
    if (v == "1" || strcasecmp(v.c_str(), "true") == 0)
        return 1;
    if (v == "0" || strcasecmp(v.c_str(), "false") == 0)
        return 0;
    return -1;
}

/* The lines of a cell: split at line breaks (a CR before one dropped),
   trailing empty lines left out. */
static void split_lines(const std::string& text, std::vector<std::string>* lines)
{
    std::vector<std::string> found;
    size_t at = 0;
    for (;;) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        found.push_back(line);
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    while (!found.empty() && found.back().empty())
        found.pop_back();
    lines->insert(lines->end(), found.begin(), found.end());
}

/* One row's job; fills job->fault when the row cannot run. */
static void plan_row(const capture_options& o, const batch_list& list, size_t r, const std::string& base,
                     batch_job* job)
{
    const batch_row& row = list.rows[r];
    job->row = r;
    job->line = row.line;
    job->fault = row.fault;
    std::set<std::string> set;  // the options this row gives
    for (size_t c = 0; c < list.columns.size(); ++c) {
        if (row.cells[c].empty())
            continue;
        set.insert(list.columns[c]);
        if (list.columns[c] == "line" || list.columns[c] == "lines")  // the strips come from one place
            set.insert(list.columns[c] == "line" ? "lines" : "line");
    }
    bool seed_given = false;
    std::string show;  // the row's show document, from its cell or the command line
    for (const given_option& g : o.given) {
        if (LISTED(g.name, batch_only) || set.count(g.name))
            continue;
        if (strcmp(g.name, "show") == 0)
            show = g.value;
        job->args.push_back(std::string("--") + g.name + (g.value ? std::string("=") + g.value : ""));
        if (strcmp(g.name, "seed") == 0) {
            seed_given = true;
            job->has_seed = true;
            job->seed = o.seed;
        }
    }
    for (size_t c = 0; c < list.columns.size(); ++c) {
        const std::string& name = list.columns[c];
        const std::vector<std::string>& values = row.cells[c];
        if (values.empty())
            continue;
        if (name == "out") {
            if (values.size() > 1 && job->fault.empty())
                job->fault = "out wants one name";
            job->out = values[0];
            continue;
        }
        if (name == "line") {
            std::vector<std::string> lines;
            for (const std::string& v : values)
                split_lines(v, &lines);
            for (const std::string& l : lines)
                job->args.push_back("--line=" + l);
            continue;
        }
        if (values.size() > 1) {
            if (job->fault.empty())
                job->fault = name + " wants one value";
            continue;
        }
        const std::string& v = values[0];
        if (option_arity(name.c_str()) == 0) {
            const int on = switch_value(v);
            if (on < 0 && job->fault.empty())
                job->fault = name + " wants 1, 0, true or false, not " + v;
            if (on > 0)
                job->args.push_back("--" + name);
            continue;
        }
        job->args.push_back("--" + name + "=" + (LISTED(name.c_str(), path_options) && v[0] != '/' && v != "-" ? base + v : v));
        if (name == "show")
            show = v[0] != '/' ? base + v : v;
        if (name == "seed") {
            seed_given = true;
            char* end;
            const unsigned long n = strtoul(v.c_str(), &end, 10);
            job->has_seed = *end == '\0' && v[0] >= '0' && v[0] <= '9' && n <= 0xFFFFFFFFul;
            job->seed = (uint32_t)n;
        }
    }
    if (!seed_given) {  // the document's seed, else the row's number
        show_doc doc;
        std::string why;  // a bad document is the row's own run's to report
        const bool from_doc = !show.empty() && show_doc_load(show, &doc, &why) == 0 && doc.has_seed;
        job->has_seed = true;
        job->seed = from_doc ? doc.seed : (uint32_t)r;
        job->args.push_back("--seed=" + std::to_string(job->seed));
    }
    if (job->out.empty() && job->fault.empty())
        job->fault = "no output name (the out cell is empty)";
    job->out_path = job->out.empty() || job->out[0] == '/' ? job->out : base + job->out;
    if (output_kind_of(job->out_path.c_str()) == kind_directory) {
        job->args.push_back("--jobs=1");
        if (o.force)
            job->args.push_back("--force");
    }
    job->args.push_back("--out=" + job->out_path);
}

int batch_plan(const capture_options& o, const batch_list& list, std::vector<batch_job>* jobs)
{
    const char* path = o.batch;
    bool has_out = false;
    for (const std::string& name : list.columns) {
        if (name == "out") {
            has_out = true;
            continue;
        }
        const int arity = option_arity(name.c_str());
        if (arity < 0)
            return batch_list_fault(path, 0, "unknown column " + name + " (a column is out or a long option's name)");
        if (LISTED(name.c_str(), batch_only))
            return batch_list_fault(path, 0, "--" + name + " is for the whole batch, not a column");
    }
    if (!has_out && !list.columns.empty())
        return batch_list_fault(path, 0, "no out column (each row's output)");

    const std::string base = directory_of(path);
    std::map<std::string, size_t> row_of_output;
    jobs->assign(list.rows.size(), batch_job{});
    for (size_t r = 0; r < list.rows.size(); ++r) {
        batch_job* job = &(*jobs)[r];
        plan_row(o, list, r, base, job);
        if (job->out.empty())
            continue;
        if (!o.allow_paths && escapes(job->out))
            return batch_list_fault(path, job->line, "row " + std::to_string(r) + ": " + job->out +
                                    " lies outside the list's directory (--allow-paths allows it)");
        const auto first = row_of_output.emplace(normal_path(job->out_path), r);
        if (!first.second)
            return batch_list_fault(path, job->line, "rows " + std::to_string(first.first->second) + " and " +
                                    std::to_string(r) + " both write " + job->out);
    }
    return 0;
}
