/* video.cpp - see video.h. ffmpeg is run directly (no shell), reading
   rawvideo rgb24 on its standard input. */
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

static pid_t child = -1;
static int pipe_fd = -1;
static size_t frame_bytes;
static std::string final_path, temp_path;
static bool write_failed;

static bool ends_with(const std::string& s, const char* tail)
{
    const size_t m = strlen(tail);
    return s.size() >= m && s.compare(s.size() - m, m, tail) == 0;
}

int video_open(const char* path, int width, int height, int fps)
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

    const bool webm = ends_with(final_path, ".webm");
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(fps);
    const char* argv[] = {
        "ffmpeg", "-y", "-loglevel", "error", "-f", "rawvideo", "-pix_fmt", "rgb24",
        "-s", size.c_str(), "-r", rate.c_str(), "-i", "-",
        "-pix_fmt", "yuv420p", "-c:v", webm ? "libvpx-vp9" : "libx264",
        "-f", webm ? "webm" : "mp4", temp_path.c_str(), NULL,
    };
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
        execvp(argv[0], const_cast<char* const*>(argv));
        fprintf(stderr, "vexa-capture: cannot run ffmpeg: %s\n", strerror(errno));
        _exit(127);
    }
    close(fds[0]);
    pipe_fd = fds[1];
    signal(SIGPIPE, SIG_IGN);  // an ffmpeg that dies shows as a failed write, not a kill
    frame_bytes = (size_t)width * height * 3;
    write_failed = false;
    return 0;
}

int video_frame(const unsigned char* rgb)
{
    size_t done = 0;
    while (done < frame_bytes) {
        const ssize_t n = write(pipe_fd, rgb + done, frame_bytes - done);
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
