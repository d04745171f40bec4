/* video.cpp - see video.h. ffmpeg is run directly (no shell), reading
   raw frames on its standard input. */
#include "video.h"
#include "interrupt.h"
#include "output_file.h"
#include "video_check.h"

#include <sys/wait.h>
#include <fcntl.h>
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
static out_file out;
static std::string out_url;  // the temporary file as ffmpeg reads it: a file, never an option
static long frames_sent;
static bool write_failed;

int video_open(const char* path, const encode_settings& settings)
{
    if (out_create(path, &out) != 0)
        return 1;
    close(out.fd);  // ffmpeg writes it
    out.fd = -1;
    out_url = "file:" + out.temp_path;

    const std::vector<std::string> args = encode_args(settings, out_url);
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(NULL);
    int fds[2];
    if (pipe(fds) != 0) {
        fprintf(stderr, "vexa-capture: cannot make a pipe to ffmpeg: %s\n", strerror(errno));
        out_discard(&out);
        return 1;
    }
    // A frame is megabytes: a larger pipe hands it over in a few writes
    // instead of a hundred 64 KiB ones, each a switch between the two
    // processes. Where the system refuses, the default size still works.
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    fflush(NULL);
    interrupt_hold(true);  // started and registered as one step
    child = fork();
    const int fork_error = errno;
    if (child > 0)
        interrupt_set_child(child);
    if (child != 0)
        interrupt_hold(false);
    if (child < 0) {
        fprintf(stderr, "vexa-capture: cannot start ffmpeg: %s\n", strerror(fork_error));
        close(fds[0]);
        close(fds[1]);
        out_discard(&out);
        return 1;
    }
    if (child == 0) {
        interrupt_child_defaults();
        interrupt_hold(false);
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
    frames_sent = 0;
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
            fprintf(stderr, "vexa-capture: %s: ffmpeg stopped taking frames: %s\n", out.path.c_str(), strerror(errno));
            write_failed = true;
            return 1;
        }
        done += (size_t)n;
    }
    ++frames_sent;
    return 0;
}

/* Why the encoding failed, or nothing when ffmpeg ended well. */
static std::string ffmpeg_failure(int status)
{
    if (WIFSIGNALED(status))
        return "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "ffmpeg failed with status " + std::to_string(WEXITSTATUS(status));
    return std::string();
}

int video_close(bool keep)
{
    close(pipe_fd);
    pipe_fd = -1;
    siginfo_t info;  // waited for without reaping, so that no other process can take its pid meanwhile
    while (waitid(P_PID, (id_t)child, &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    interrupt_set_child(0);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    child = -1;
    if (!keep || write_failed) {
        out_discard(&out);
        return 1;
    }
    const std::string failure = ffmpeg_failure(status);
    if (!failure.empty()) {
        fprintf(stderr, "vexa-capture: %s: %s\n", out.path.c_str(), failure.c_str());
        out_discard(&out);
        return 1;
    }
    // ffmpeg's status alone does not prove the video is there: count its frames.
    const long frames = video_frames_in(out.temp_path.c_str());
    if (frames != frames_sent) {
        if (frames >= 0)
            fprintf(stderr, "vexa-capture: %s: ffmpeg wrote %ld of the %ld frames\n", out.path.c_str(), frames, frames_sent);
        else if (frames == video_unreadable)
            fprintf(stderr, "vexa-capture: %s: ffmpeg wrote no video that ffprobe can read\n", out.path.c_str());
        out_discard(&out);
        return 1;
    }
    return out_commit(&out);
}
