/* write_all.cpp - see write_all.h. */
#include "write_all.h"

#include <unistd.h>

#include <cerrno>

int write_all(int fd, const void* data, size_t size)
{
    const char* bytes = (const char*)data;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += (size_t)n;
    }
    return 0;
}
