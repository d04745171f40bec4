/* batch_paths.cpp - see batch_paths.h. */
#include "batch_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

/* dir's parent ("/" for "/"); dir resolved, so its last step is no link. */
static std::string parent_of(const std::string& dir)
{
    const size_t slash = dir.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : dir.substr(0, slash);
}

std::string path_resolved(const std::string& path)
{
    std::string at = "/";
    if (path.empty() || path[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd))
            at = cwd;
    }
    bool exists = true;  // at is there (and resolved) so far
    for (size_t from = 0; from <= path.size();) {
        size_t end = path.find('/', from);
        if (end == std::string::npos)
            end = path.size();
        const std::string step = path.substr(from, end - from);
        from = end + 1;
        if (step.empty() || step == ".")
            continue;
        if (step == "..") {
            at = parent_of(at);
            struct stat st;
            exists = exists || lstat(at.c_str(), &st) == 0;
            continue;
        }
        at += (at == "/" ? "" : "/") + step;
        if (exists) {
            char real[PATH_MAX];
            struct stat st;
            if (lstat(at.c_str(), &st) != 0)
                exists = false;
            else if (realpath(at.c_str(), real))
                at = real;
            else
                exists = false;  // a link leading nowhere: a name only
        }
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
