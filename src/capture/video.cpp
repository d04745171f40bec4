/* video.cpp - see video.h. ffmpeg is run directly (no shell), reading
   raw frames on its standard input. */
#include "video.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static pid_t child = -1;
static int pipe_fd = -1;
static size_t frame_bytes;
static std::string final_path, temp_path;
static bool write_failed;

int video_open(const char* path, const encode_settings& settings)
{
    final_path = path;
    temp_path = final_path + ".XXXXXX";
    const int fd = mkstemp(&temp_path[0]);
    if (fd < 0) {
        fprintf(stderr, "vexa-capture: %s: %s\n", path, strerror(errno));
        return 1;
    }
    fchmod(fd, 0644);
    close(fd);

    const std::vector<std::string> args = encode_args(settings, temp_path);
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(NULL);
    int fds[2];
    if (pipe(fds) != 0) {
        fprintf(stderr, "vexa-capture: pipe: %s\n", strerror(errno));
        unlink(temp_path.c_str());
        return 1;
    }
    fflush(NULL);
    child = fork();
    if (child < 0) {
        fprintf(stderr, "vexa-capture: fork: %s\n", strerror(errno));
        close(fds[0]);
        close(fds[1]);
        unlink(temp_path.c_str());
        return 1;
    }
    if (child == 0) {
        dup2(fds[0], STDIN_FILENO);
        close(fds[0]);
        close(fds[1]);
        execvp(argv[0], const_cast<char* const*>(argv.data()));
        fprintf(stderr, "vexa-capture: cannot run ffmpeg: %s\n", strerror(errno));
        _exit(127);
    }
    close(fds[0]);
    pipe_fd = fds[1];
    signal(SIGPIPE, SIG_IGN);  // an ffmpeg that dies shows as a failed write, not a kill
    frame_bytes = (size_t)settings.width * settings.height * 4;
    write_failed = false;
    return 0;
}

int video_frame(const unsigned char* rgba)
{
    size_t done = 0;
    while (done < frame_bytes) {
        const ssize_t n = write(pipe_fd, rgba + done, frame_bytes - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fprintf(stderr, "vexa-capture: ffmpeg stopped reading frames: %s\n", strerror(errno));
            write_failed = true;
            return 1;
        }
        done += (size_t)n;
    }
    return 0;
}

int video_close(bool keep)
{
    close(pipe_fd);
    pipe_fd = -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    child = -1;
    const bool encoded = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !write_failed;
    if (keep && !encoded)
        fprintf(stderr, "vexa-capture: %s: ffmpeg failed\n", final_path.c_str());
    if (keep && encoded && rename(temp_path.c_str(), final_path.c_str()) != 0) {
        fprintf(stderr, "vexa-capture: %s: %s\n", final_path.c_str(), strerror(errno));
        keep = false;
    }
    if (!keep || !encoded) {
        unlink(temp_path.c_str());
        return 1;
    }
    return 0;
}
