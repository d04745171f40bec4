/* output_file.cpp - see output_file.h. */
#include "output_file.h"
#include "write_all.h"
#include "interrupt.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

/* The directory part of path, ending in '/', made to start with "/" or
   "./": "a/b.png" -> "./a/", "b.png" -> "./", "/x/b.png" -> "/x/". */
static std::string directory_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return dir.compare(0, 1, "/") == 0 ? dir : "./" + dir;
}

std::string tidy_path(const char* path)
{
    std::string tidy;
    for (const char* p = path; *p; ++p)
        if (*p != '/' || tidy.empty() || tidy.back() != '/')
            tidy += *p;
    if (tidy.size() > 1 && tidy.back() == '/')
        tidy.pop_back();
    return tidy;
}

std::string temp_name(void)
{
    static std::atomic<unsigned> serial{0};
    char name[64];
    snprintf(name, sizeof name, "vexa-capture.%ld.%u.tmp", (long)getpid(), serial++);
    return name;
}

int out_create(const char* path, out_file* f)
{
    f->path = path;
    f->fd = -1;
    f->slot = -1;
    const std::string dir = directory_of(f->path);
    int error = EEXIST;
    // A name another run left behind (after a kill) is skipped, never reused.
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        f->temp_path = dir + temp_name();
        f->slot = interrupt_add_file(f->temp_path.c_str());  // before it exists: no gap
        if (f->slot < 0) {
            error = errno;
            break;
        }
        f->fd = open(f->temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (f->fd >= 0)
            return 0;
        error = errno;
        interrupt_drop_file(f->slot);
        f->slot = -1;
    }
    fprintf(stderr, "vexa-capture: %s: cannot create a file in its directory: %s\n", path, strerror(error));
    return 1;
}

int out_commit(out_file* f)
{
    const char* failed = NULL;
    int error = 0;
    if (f->fd >= 0 && close(f->fd) != 0) {
        failed = "cannot finish writing it";
        error = errno;
    }
    f->fd = -1;
    if (!failed && rename(f->temp_path.c_str(), f->path.c_str()) != 0) {
        failed = "cannot put it in place";
        error = errno;
    }
    if (!failed) {
        interrupt_drop_file(f->slot);
        f->slot = -1;
        return 0;
    }
    fprintf(stderr, "vexa-capture: %s: %s: %s\n", f->path.c_str(), failed, strerror(error));
    out_discard(f);
    return 1;
}

int out_write_whole(const char* path, const void* data, size_t size)
{
    out_file out;
    if (out_create(path, &out) != 0)
        return 1;
    if (const int error = write_all(out.fd, data, size)) {
        fprintf(stderr, "vexa-capture: %s: cannot write it: %s\n", path, strerror(error));
        out_discard(&out);
        return 1;
    }
    return out_commit(&out);
}

void out_discard(out_file* f)
{
    if (f->fd >= 0)
        close(f->fd);
    f->fd = -1;
    if (f->slot >= 0) {
        unlink(f->temp_path.c_str());
        interrupt_drop_file(f->slot);
        f->slot = -1;
    }
}
