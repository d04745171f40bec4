// input_file.cpp - see input_file.h. O_NONBLOCK keeps open from waiting for a FIFO's
// writer; fstat then tells what was opened.
#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string size_words(long long bytes)
{
    return bytes >= (1LL << 20) && bytes % (1LL << 20) == 0 ? std::to_string(bytes >> 20) + " MiB"
                                                             : std::to_string(bytes) + " bytes";
}

}  // namespace

int input_open(const std::string& path, long long max_bytes, std::string* why, long long* size)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = std::strerror(errno);
        return -1;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        *why = std::strerror(errno);
        close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        *why = S_ISDIR(st.st_mode) ? "a directory, not a file" : "not a regular file";
        close(fd);
        return -1;
    }
    if (st.st_size > max_bytes) {
        *why = "larger than " + size_words(max_bytes);
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (size)
        *size = st.st_size;
    return fd;
}

bool input_read_all(int fd, long long max_bytes, std::string* out, std::string* why)
{
    out->clear();
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *why = std::strerror(errno);
            return false;
        }
        if (n == 0)
            return true;
        out->append(buffer, size_t(n));
        if ((long long)out->size() > max_bytes) {
            out->resize(size_t(max_bytes) + 1);
            *why = "more than " + size_words(max_bytes);
            return false;
        }
    }
}
