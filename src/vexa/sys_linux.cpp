/* sys_linux.cpp - clock, sleep, exit and file queries on Linux (the clock,
   the sleep and the exit on any POSIX system). */
#include "sys.h"
#include "monotonic_clock.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

uint32_t sys_milliseconds(void)
{
    return (uint32_t)(uint64_t)(monotonic_seconds() * 1000);
}

void sys_sleep(uint32_t ms)
{
    struct timespec left;
    left.tv_sec = ms / 1000u;
    left.tv_nsec = (long)(ms % 1000u) * 1000000L;
    // A signal cuts the sleep short; sleep the rest. The interruption is not
    // an error of the program, so it must not be left behind in errno.
    const int saved = errno;
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
    errno = saved;
}

void sys_exit(int status)
{
    exit(status);
}

bool sys_is_directory(const char* path)
{
    struct stat st;
    const int saved = errno;  // a missing path is an answer, not an error
    const bool is = stat(path, &st) == 0 && S_ISDIR(st.st_mode);
    errno = saved;
    return is;
}

std::string sys_program_dir(void)
{
    const int saved = errno;
    std::string path(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", &path[0], path.size());
    errno = saved;
    if (n <= 0 || (size_t)n >= path.size())
        return "";
    path.resize((size_t)n);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash == 0 ? 1 : slash);
}
