/* std_streams.cpp - see std_streams.h. */
#include "std_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

void std_streams_open(void)
{
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            // The lowest free number: this very one, as the ones below are open.
            const int null_fd = open("/dev/null", O_RDWR);
            if (null_fd >= 0 && null_fd != fd)
                close(null_fd);
        }
}
