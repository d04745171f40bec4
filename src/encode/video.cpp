/* video.cpp - see video.h. ffmpeg (child.h) reads raw frames on its
   standard input. */
#include "video.h"
#include "child.h"
#include "output_file.h"
#include "video_check.h"
#include "write_all.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

static child encoder;
static size_t frame_bytes;
static out_file out;
static long frames_sent;
static int write_error;  // why a frame could not be sent, 0 while all went over
static size_t pipe_bytes;  // the most the pipe holds (whole pages), 0 when unknown

int video_open(const char* path, const encode_settings& settings)
{
    if (out_create(path, &out) != 0)
        return 1;
    close(out.fd);  // ffmpeg writes it
    out.fd = -1;
    // The temporary file as ffmpeg reads it: a file, never an option or a protocol.
    if (child_start(encode_args(settings, "file:" + out.temp_path), pipe_to_child, &encoder) != 0) {
        out_discard(&out);
        return 1;
    }
    // A frame is megabytes: a larger pipe hands it over in a few writes
    // instead of a hundred 64 KiB ones, each a switch between the two
    // processes. Where the system refuses, the default size still works.
    fcntl(encoder.fd, F_SETPIPE_SZ, 1 << 20);
    const int capacity = fcntl(encoder.fd, F_GETPIPE_SZ);
    pipe_bytes = capacity > 0 ? (size_t)capacity : 0;
    signal(SIGPIPE, SIG_IGN);  // an ffmpeg that dies shows as a failed write, not a kill
    frame_bytes = (size_t)settings.width * settings.height * 4;
    frames_sent = 0;
    write_error = 0;
    return 0;
}

/* Hands the pages of size bytes at data to the pipe (vmsplice): ffmpeg
   reads them from where they are, without their copy into the pipe. 0, or
   the errno value of the failure. */
static int hand_all(int fd, const unsigned char* data, size_t size)
{
    iovec rest = {(void*)data, size};
    while (rest.iov_len > 0) {
        const ssize_t n = vmsplice(fd, &rest, 1, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        rest.iov_base = (unsigned char*)rest.iov_base + n;
        rest.iov_len -= (size_t)n;
    }
    return 0;
}

/* A frame larger than the pipe goes in two parts: its pages handed over,
   all but the last pipe_bytes, which are written (copied). The pipe takes
   those only once ffmpeg has read every page handed before them (with even
   one of those still in it, fewer bytes than pipe_bytes fit beside), so the
   caller may draw into rgba again as soon as this returns. A failed write
   says nothing yet: why ffmpeg stopped reading is told by how it ended, in
   video_close. */
int video_frame(const unsigned char* rgba)
{
    const size_t handed = pipe_bytes > 0 && frame_bytes > pipe_bytes ? frame_bytes - pipe_bytes : 0;
    if ((write_error = hand_all(encoder.fd, rgba, handed)) != 0 ||
        (write_error = write_all(encoder.fd, rgba + handed, frame_bytes - handed)) != 0)
        return 1;
    ++frames_sent;
    return 0;
}

int video_close(bool keep)
{
    const std::string failure = child_failure(encoder, child_finish(&encoder));
    const char* path = out.path.c_str();
    if (!failure.empty())
        fprintf(stderr, "vexa-capture: %s: %s\n", path, failure.c_str());
    else if (write_error)
        fprintf(stderr, "vexa-capture: %s: ffmpeg stopped taking frames: %s\n", path, strerror(write_error));
    if (!failure.empty() || write_error || !keep) {
        out_discard(&out);
        return 1;
    }
    // ffmpeg's status alone does not prove the video is there: count its frames.
    const long frames = video_frames_in(out.temp_path.c_str());
    if (frames != frames_sent) {
        if (frames >= 0)
            fprintf(stderr, "vexa-capture: %s: ffmpeg wrote %ld of the %ld frames\n", path, frames, frames_sent);
        else if (frames == video_unreadable)
            fprintf(stderr, "vexa-capture: %s: ffmpeg wrote no video that ffprobe can read\n", path);
        out_discard(&out);
        return 1;
    }
    return out_commit(&out);
}

void video_abandon(void)
{
    if (encoder.pid > 0)
        kill(encoder.pid, SIGTERM);
    child_finish(&encoder);
    out_discard(&out);
}
