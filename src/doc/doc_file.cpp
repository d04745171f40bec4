/* doc_file.cpp - a show document read from a file (doc_load.h): a regular
   file of at most 1 MiB (a FIFO or device refused at once, never waited
   on), or a .vexa package unpacked first (doc_zip.h); and the paths the
   loader and writer share. */
#include "doc_load.h"
#include "doc_zip.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ends_with(const std::string& s, const char* tail)
{
    const size_t n = strlen(tail);
    if (s.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (tolower((unsigned char)s[s.size() - n + i]) != tail[i])
            return false;
    return true;
}

/* Opens path as a regular file (O_NONBLOCK: a FIFO does not wait for a
   writer) of at most max_bytes. fd, or -1 with why and status. */
int open_regular(const std::string& path, long long max_bytes, std::string* why, int* status)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        *why = strerror(errno);
        *status = errno == ENOENT || errno == ENOTDIR ? 2 : 1;
        if (fd >= 0)
            close(fd);
        return -1;
    }
    *status = 2;
    if (!S_ISREG(st.st_mode))
        *why = S_ISDIR(st.st_mode) ? "a directory, not a file" : "not a regular file";
    else if (st.st_size > max_bytes)
        *why = max_bytes == show_doc_max_bytes ? "larger than 1 MiB" : "larger than 64 MiB";
    else
        return fd;
    close(fd);
    return -1;
}

/* The whole of fd, at most max + 1 bytes. */
bool read_all(int fd, size_t max, std::string* out)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out->append(buffer, (size_t)n);
        if (out->size() > max)
            return true;
    }
}

}  // namespace

std::string show_doc_dir_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int show_doc_load(const std::string& path, show_doc* doc, std::string* refusal)
{
    const bool package = ends_with(path, ".vexa");
    std::string why;
    int status;
    const int fd = open_regular(path, package ? show_doc_max_unpacked : show_doc_max_bytes, &why, &status);
    if (fd < 0) {
        *refusal = path + ": " + why;
        return status;
    }
    std::string dir = show_doc_dir_of(path), json_path = path;
    if (package) {
        status = doc_zip_unpack(fd, path, &dir, &why);
        if (status != 0) {
            *refusal = path + ": " + why;
            return status;
        }
        json_path = dir + "/show.vexa.json";
        const int inner = open_regular(json_path, show_doc_max_bytes, &why, &status);
        if (inner < 0) {
            *refusal = path + ": show.vexa.json: " + why;
            return status;
        }
        std::string text;
        const bool read = read_all(inner, show_doc_max_bytes, &text);
        close(inner);
        if (!read) {
            *refusal = path + ": " + strerror(errno);
            return 1;
        }
        return show_doc_parse(text.data(), text.size(), path, dir, doc, refusal);
    }
    std::string text;
    const bool read = read_all(fd, show_doc_max_bytes, &text);
    const int error = errno;
    close(fd);
    if (!read) {
        *refusal = path + ": " + strerror(error);
        return 1;
    }
    return show_doc_parse(text.data(), text.size(), path, dir, doc, refusal);
}

// --- temporary directories --------------------------------------------------------

namespace {

std::vector<std::string>* temp_dirs;
pid_t temp_owner;  // the process that made them: a forked child leaves them be
void (*temp_dir_made)(const char* dir);

int remove_entry(const char* path, const struct stat*, int, struct FTW*)
{
    remove(path);
    return 0;
}

void remove_temp_dirs()
{
    if (getpid() != temp_owner)
        return;
    for (const std::string& d : *temp_dirs)
        nftw(d.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace

std::string doc_temp_dir(std::string* why)
{
    const char* base = getenv("TMPDIR");
    std::string name = std::string(base && *base ? base : "/tmp") + "/vexa-show.XXXXXX";
    if (!mkdtemp(&name[0])) {
        *why = "cannot make a directory " + name + ": " + strerror(errno);
        return "";
    }
    if (!temp_dirs) {
        temp_dirs = new std::vector<std::string>;
        temp_owner = getpid();
        atexit(remove_temp_dirs);
    }
    temp_dirs->push_back(name);
    if (temp_dir_made)
        temp_dir_made(name.c_str());
    return name;
}

void show_doc_on_temp_dir(void (*made)(const char* dir))
{
    temp_dir_made = made;
    if (made && temp_dirs && getpid() == temp_owner)
        for (const std::string& d : *temp_dirs)
            made(d.c_str());
}

// --- paths ----------------------------------------------------------------------

namespace {

/* path made absolute and tidied, as words: "a/./b/../c" -> {"a", "c"}. */
std::vector<std::string> absolute_parts(const std::string& path)
{
    std::string full = path;
    if (path.empty() || path[0] != '/') {
        char cwd[4096];
        full = std::string(getcwd(cwd, sizeof cwd) ? cwd : ".") + "/" + path;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t slash = full.find('/', start);
        if (slash == std::string::npos)
            slash = full.size();
        const std::string part = full.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    return parts;
}

}  // namespace

std::string show_doc_relative(const std::string& path, const std::string& dir)
{
    const std::vector<std::string> p = absolute_parts(path), d = absolute_parts(dir);
    size_t common = 0;
    while (common < p.size() && common < d.size() && p[common] == d[common])
        ++common;
    std::string out;
    if (common == 0) {
        for (const std::string& part : p)
            out += "/" + part;
        return out.empty() ? "/" : out;
    }
    for (size_t i = common; i < d.size(); ++i)
        out += "../";
    for (size_t i = common; i < p.size(); ++i)
        out += p[i] + (i + 1 < p.size() ? "/" : "");
    return out;
}
