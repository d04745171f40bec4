/* video_check.cpp - see video_check.h. ffprobe runs directly (no shell),
   its standard output read through a pipe and registered as the child to
   stop if the program is interrupted. */
#include "video_check.h"
#include "interrupt.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

long video_frames_in(const char* path)
{
    const std::string url = std::string("file:") + path;
    const char* argv[] = {
        "ffprobe", "-v", "quiet", "-select_streams", "v:0", "-count_packets",
        "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0", url.c_str(), NULL,
    };
    int fds[2];
    if (pipe(fds) != 0) {
        fprintf(stderr, "vexa-capture: cannot make a pipe for ffprobe: %s\n", strerror(errno));
        return video_unchecked;
    }
    fflush(NULL);
    interrupt_hold(true);
    const pid_t child = fork();
    if (child == 0) {
        interrupt_child_defaults();
        interrupt_hold(false);
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execvp(argv[0], const_cast<char* const*>(argv));
        fprintf(stderr, "vexa-capture: cannot run ffprobe to check the video: %s\n", strerror(errno));
        _exit(127);
    }
    const int fork_error = errno;
    if (child > 0)
        interrupt_set_child(child);
    interrupt_hold(false);
    close(fds[1]);
    if (child < 0) {
        close(fds[0]);
        fprintf(stderr, "vexa-capture: cannot start ffprobe: %s\n", strerror(fork_error));
        return video_unchecked;
    }
    char text[64], rest[256];
    size_t used = 0;
    for (;;) {  // the first bytes kept, the rest drained so that ffprobe can finish
        const bool room = used < sizeof text - 1;
        const ssize_t n = room ? read(fds[0], text + used, sizeof text - 1 - used) : read(fds[0], rest, sizeof rest);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (room)
            used += (size_t)n;
    }
    close(fds[0]);
    text[used] = '\0';
    siginfo_t info;
    while (waitid(P_PID, (id_t)child, &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    interrupt_set_child(0);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
        return video_unchecked;  // the child said why
    char* end;
    const long frames = strtol(text, &end, 10);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && used == 0)
        return 0;  // no video stream
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || end == text || (*end != '\n' && *end != '\0'))
        return video_unreadable;
    return frames;
}
