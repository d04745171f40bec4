/* batch_plan.cpp - see batch_plan.h. */
#include "batch_plan.h"
#include "batch_paths.h"
#include "doc_load.h"
#include "output_kind.h"
#include "vexa_art.h"

#include <strings.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

/* The directory part of path, with its slash ("" for a bare name). */
static std::string directory_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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

/* Whether column name holds text for the artwork (title, subtitle, line):
   the artwork options that name no file. */
static bool text_column(const std::string& name)
{
    for (const art_option_row& r : art_option_rows)
        if (!r.names_file && name == r.name)
            return true;
    return false;
}

/* Refuses (2, one line naming the list, the row and the column) a text cell
   the artwork cannot set, as the same text on a command line is refused:
   a control character, a line break inside a title, bytes that are not
   UTF-8. A line cell's line breaks part its strips. A NUL is the row's own
   fault (plan_row). */
static int check_texts(const char* path, const batch_list& list, const std::vector<batch_job>& jobs)
{
    for (size_t r = 0; r < list.rows.size(); ++r)
        for (size_t c = 0; c < list.columns.size(); ++c) {
            const std::string& name = list.columns[c];
            if (!text_column(name))
                continue;
            std::vector<std::string> texts;
            for (const std::string& v : list.rows[r].cells[c])
                if (v.find('\0') == std::string::npos) {
                    if (name == "line")
                        split_lines(v, &texts);
                    else
                        texts.push_back(v);
                }
            for (size_t i = 0; i < texts.size(); ++i) {
                const std::string what = name == "line" ? "line " + std::to_string(i + 1) : "the " + name;
                const std::string why = art_text_refusal(texts[i], what);
                if (!why.empty())
                    return batch_list_fault(path, jobs[r].line, "row " + std::to_string(r) + ", column " + name +
                                                                    ": " + why);
            }
        }
    return 0;
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
        if (option_use_of(g.name).whole_batch || set.count(g.name))
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
        for (const std::string& v : values)  // a command line would cut it there
            if (v.find('\0') != std::string::npos && job->fault.empty())
                job->fault = name + " holds a NUL character";
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
        const option_use use = option_use_of(name.c_str());
        if (!use.takes_value) {
            const int on = switch_value(v);
            if (on < 0 && job->fault.empty())
                job->fault = name + " wants 1, 0, true or false, not " + v;
            if (on > 0)
                job->args.push_back("--" + name);
            continue;
        }
        const bool writes = use.file == file_written;
        const bool names_path = use.file != file_none;
        const std::string value = names_path && v[0] != '/' && v != "-" ? base + v : v;
        job->args.push_back("--" + name + "=" + value);
        if (writes)
            job->writes.push_back({name, v, value});
        if (name == "show")
            show = value;
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
    if (!job->out.empty())
        job->writes.insert(job->writes.begin(), {"out", job->out, job->out_path});
    if (output_kind_of(job->out_path.c_str()) == kind_directory) {
        // The check before the run found the set unfinished (or --force asks
        // for it again): the run replaces what is there.
        job->args.push_back("--jobs=1");
        job->args.push_back("--force");
    }
    job->args.push_back("--out=" + job->out_path);
}

/* A written place: whose, and whether it is a directory of frames. */
struct place {
    size_t row;
    const batch_write* what;
    bool dir;
};

static std::string naming(size_t row, const batch_write& w)
{
    return "row " + std::to_string(row) + "'s " + (w.option == "out" ? "" : w.option + " ") + w.name;
}

/* Refuses a place written twice, one inside another row's directory, and
   (without --allow-paths) one outside the list's directory. */
static int check_places(const capture_options& o, const std::vector<batch_job>& jobs)
{
    const char* path = o.batch;
    const std::string home = path_resolved(directory_of(path).empty() ? "." : directory_of(path));
    std::map<std::string, place> places;
    // A file already there is also known by its device and inode: two names
    // linked hard to one file resolve to two names.
    std::map<std::pair<dev_t, ino_t>, place> files;
    for (const batch_job& job : jobs)
        for (const batch_write& w : job.writes) {
            const std::string at = path_resolved(w.path);
            if (!o.allow_paths && !path_inside(at, home))
                return batch_list_fault(path, job.line, "row " + std::to_string(job.row) + ": " + w.name +
                                        " lies outside the list's directory (--allow-paths allows it)");
            const bool dir = w.option == "out" && output_kind_of(w.path.c_str()) == kind_directory;
            const auto first = places.emplace(at, place{job.row, &w, dir});
            const place* was = first.second ? nullptr : &first.first->second;
            struct stat st;
            if (!was && stat(at.c_str(), &st) == 0) {
                const auto file = files.emplace(std::make_pair(st.st_dev, st.st_ino), place{job.row, &w, dir});
                was = file.second ? nullptr : &file.first->second;
            }
            if (was) {
                return batch_list_fault(path, job.line, "rows " + std::to_string(was->row) + " and " +
                                        std::to_string(job.row) + " both write " + was->what->name +
                                        (was->what->name == w.name ? "" : " (as " + w.name + ")"));
            }
        }
    for (const auto& p : places)  // each place against the directories above it
        for (std::string up = p.first; up != "/";) {
            up = up.substr(0, up.rfind('/'));
            if (up.empty())
                up = "/";
            const auto dir = places.find(up);
            if (dir != places.end() && dir->second.dir && dir->second.row != p.second.row)
                return batch_list_fault(path, jobs[p.second.row].line, naming(p.second.row, *p.second.what) +
                                        " lies inside " + naming(dir->second.row, *dir->second.what));
        }
    return 0;
}

int batch_check_results(const capture_options& o, const std::string& results, const std::vector<batch_job>& jobs)
{
    const std::string at = path_resolved(results);
    if (at == path_resolved(o.batch) || path_same_file(results, o.batch))
        return batch_list_fault(results.c_str(), 0, "the results file would replace the list");
    for (const batch_job& job : jobs)
        for (const batch_write& w : job.writes) {
            const std::string place = path_resolved(w.path);
            const bool dir = w.option == "out" && output_kind_of(w.path.c_str()) == kind_directory;
            if (place == at || path_same_file(results, w.path))
                return batch_list_fault(results.c_str(), 0, "the results file would replace " + naming(job.row, w));
            if (dir && path_inside(at, place))
                return batch_list_fault(results.c_str(), 0, "the results file lies inside " + naming(job.row, w));
        }
    return 0;
}

int batch_plan(const capture_options& o, const batch_list& list, std::vector<batch_job>* jobs)
{
    const char* path = o.batch;
    bool has_out = false;
    for (const std::string& name : list.columns) {
        if (name.find('\0') != std::string::npos)
            return batch_list_fault(path, 0, "a column's name holds a NUL character");
        if (name == "out") {
            has_out = true;
            continue;
        }
        const option_use use = option_use_of(name.c_str());
        if (!use.known)
            return batch_list_fault(path, 0, "unknown column " + name + " (a column is out or a long option's name)");
        if (use.whole_batch)
            return batch_list_fault(path, 0, "--" + name + " is for the whole batch, not a column");
    }
    if (!has_out && !list.columns.empty())
        return batch_list_fault(path, 0, "no out column (each row's output)");

    const std::string base = directory_of(path);
    jobs->assign(list.rows.size(), batch_job{});
    for (size_t r = 0; r < list.rows.size(); ++r)
        plan_row(o, list, r, base, &(*jobs)[r]);
    if (const int status = check_texts(path, list, *jobs))
        return status;
    return check_places(o, *jobs);
}
