/* batch_paths.cpp - see batch_paths.h. */
#include "batch_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <deque>
#include <vector>

/* dir's parent ("/" for "/"); dir resolved, so its last step is no link. */
static std::string parent_of(const std::string& dir)
{
    const size_t slash = dir.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : dir.substr(0, slash);
}

/* The steps of path, in order. */
static void split_steps(const std::string& path, std::deque<std::string>* steps, bool front)
{
    std::vector<std::string> found;
    for (size_t from = 0; from <= path.size();) {
        size_t end = path.find('/', from);
        if (end == std::string::npos)
            end = path.size();
        if (end > from)
            found.push_back(path.substr(from, end - from));
        from = end + 1;
    }
    if (front)
        steps->insert(steps->begin(), found.begin(), found.end());
    else
        steps->insert(steps->end(), found.begin(), found.end());
}

std::string path_resolved(const std::string& path)
{
    std::string at = "/";
    if (path.empty() || path[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd))
            at = cwd;
    }
    std::deque<std::string> steps;
    split_steps(path, &steps, false);
    int links = 0;  // followed by hand, as the system would (ELOOP past 40)
    while (!steps.empty()) {
        const std::string step = steps.front();
        steps.pop_front();
        if (step == ".")
            continue;
        if (step == "..") {
            at = parent_of(at);
            continue;
        }
        const std::string next = at + (at == "/" ? "" : "/") + step;
        char target[PATH_MAX];
        const ssize_t n = links < 40 ? readlink(next.c_str(), target, sizeof target - 1) : -1;
        if (n <= 0) {  // a directory, a file, or nothing there: a name as it stands
            at = next;
            continue;
        }
        ++links;  // a link, leading somewhere or not: its target's steps take its place
        target[n] = '\0';
        if (target[0] == '/')
            at = "/";
        split_steps(target, &steps, true);
    }
    return at;
}

bool path_inside(const std::string& path, const std::string& dir)
{
    if (dir == "/")
        return true;
    return path.compare(0, dir.size(), dir) == 0 && (path.size() == dir.size() || path[dir.size()] == '/');
}

bool path_same_file(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
