/* music_decode.cpp - see music.h. The file is opened here and checked to be
   a regular file; ffprobe and ffmpeg get that very descriptor as their
   standard input and read it through the file protocol
   (file:/proc/self/fd/0, seekable, unlike a pipe), with the file protocol
   and the audio demuxers as the only ones allowed: no name of ours is ever
   read as a URL, a playlist or a list of other files. Each run has a
   deadline and a ceiling on what it may write; past either it is killed. */
#include "music.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

enum { decode_deadline_s = 60 };
/* Demuxers of audio (and of videos with sound); no playlists, no lists. */
static const char audio_formats[] =
    "wav,w64,flac,mp3,ogg,mov,aac,matroska,aiff,caf,au,wv,ape,asf,ac3,eac3,dts,tta,amr,dsf,mpc,mpc8";

struct run_result {
    std::string out, err;
    uint64_t skipped = 0;  // bytes of standard output dropped before out
    int status = 0;
    int spawn_error = 0;  // errno when the program could not be started
    bool timed_out = false, too_long = false;
};

static double now_s(void)
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

/* Runs argv with in_fd as its standard input, collecting its standard
   output (at most out_max bytes; skip bytes of it dropped first) and the
   start of its error output. */
static run_result run(const std::vector<std::string>& args, int in_fd, size_t skip, size_t out_max)
{
    run_result r;
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(NULL);
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        r.spawn_error = errno;
        return r;
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
        r.spawn_error = errno;
        close(out[0]);
        close(out[1]);
        return r;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in_fd, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid;
    const int error = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    if (error != 0) {
        r.spawn_error = error;
        close(out[0]);
        close(err[0]);
        return r;
    }
    const double deadline = now_s() + decode_deadline_s;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    char buffer[1 << 16];
    int open_fds = 2;
    while (open_fds > 0) {
        const double left = deadline - now_s();
        if (left <= 0) {
            r.timed_out = true;
            break;
        }
        const int n = poll(fds, 2, (int)(left * 1000) + 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        for (pollfd& p : fds) {
            if (p.fd < 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t got = read(p.fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                close(p.fd);
                p.fd = -1;
                --open_fds;
                continue;
            }
            if (p.fd == err[0]) {
                if (r.err.size() < 4096)
                    r.err.append(buffer, (size_t)got);
                continue;
            }
            size_t from = 0;
            if (skip > 0) {
                from = (size_t)got < skip ? (size_t)got : skip;
                skip -= from;
                r.skipped += from;
            }
            if (r.out.size() + (got - from) > out_max) {
                r.too_long = true;
                break;
            }
            r.out.append(buffer + from, (size_t)got - from);
        }
        if (r.too_long)
            break;
    }
    if (r.timed_out || r.too_long)
        kill(pid, SIGKILL);
    for (pollfd& p : fds)
        if (p.fd >= 0)
            close(p.fd);
    while (waitpid(pid, &r.status, 0) < 0 && errno == EINTR) {
    }
    return r;
}

/* ffmpeg's own first line of complaint, without its "[demuxer @ 0x...] ". */
static std::string first_line(const std::string& text, const std::string& input)
{
    std::string line = text.substr(0, text.find('\n'));
    if (line.size() > 0 && line[0] == '[') {
        const size_t end = line.find("] ");
        if (end != std::string::npos)
            line = line.substr(end + 2);
    }
    if (line.compare(0, input.size() + 2, input + ": ") == 0)
        line = line.substr(input.size() + 2);
    return line;
}

/* A RIFF file (WAV) whose header counts more bytes than the file holds:
   ffmpeg plays what is there without a word, so the header is read here. */
static bool riff_cut_short(int fd, off_t size)
{
    unsigned char head[8];
    if (pread(fd, head, sizeof head, 0) != (ssize_t)sizeof head || memcmp(head, "RIFF", 4) != 0)
        return false;
    const uint32_t riff = head[4] | head[5] << 8 | head[6] << 16 | (uint32_t)head[7] << 24;
    // 0 and 0xFFFFFFFF: written while streaming, the size never filled in.
    return riff != 0 && riff != 0xFFFFFFFFu && (off_t)riff + 8 > size;
}

static std::string seconds_text(double s)
{
    char text[32];
    snprintf(text, sizeof text, "%.3f", s);
    return text;
}

/* A scheme followed by a colon: "http://...", "concat:a|b", "pipe:0". */
static bool url_like(const std::string& name)
{
    if (name.empty() || !isalpha((unsigned char)name[0]))
        return false;
    for (size_t i = 1; i < name.size(); ++i) {
        const char c = name[i];
        if (c == ':')
            return true;
        if (!isalnum((unsigned char)c) && c != '+' && c != '.' && c != '-')
            return false;
    }
    return false;
}

static music_status refuse(const char* program, const std::string& path, const std::string& why,
                           music_status status = music_refused)
{
    fprintf(stderr, "%s: %s: %s\n", program, path.c_str(), why.c_str());
    return status;
}

music_status music_decode(const char* program, const std::string& path, uint32_t start_ms, uint32_t want_ms,
                          music_source* src)
{
    *src = music_source();
    if (url_like(path))
        return refuse(program, path, "is a URL, not a file (name a file in this system; ./" + path + " if it is one)");
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);  // a FIFO must not block us
    if (fd < 0)
        return refuse(program, path, strerror(errno));
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return refuse(program, path, "is not a regular file");
    }
    if (st.st_size == 0) {
        close(fd);
        return refuse(program, path, "is empty");
    }
    if (riff_cut_short(fd, st.st_size)) {
        close(fd);
        return refuse(program, path, "is truncated: its header counts more sound than it holds");
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const std::string input = "file:/proc/self/fd/0";

    // What the file says it holds: an audio stream, and its length.
    run_result probe = run({"ffprobe", "-v", "error", "-protocol_whitelist", "file", "-format_whitelist",
                            audio_formats, "-select_streams", "a:0", "-show_entries",
                            "stream=codec_type:format=duration", "-of", "default=nw=1", input},
                           fd, 0, 1 << 16);
    if (probe.spawn_error) {
        close(fd);
        return refuse(program, path, std::string("cannot run ffprobe to read it: ") + strerror(probe.spawn_error),
                      music_no_decoder);
    }
    if (probe.timed_out || probe.too_long || !WIFEXITED(probe.status) || WEXITSTATUS(probe.status) != 0) {
        close(fd);
        const std::string why = first_line(probe.err, input);
        return refuse(program, path, "is not a sound file ffmpeg can read" + (why.empty() ? "" : " (" + why + ")"));
    }
    if (probe.out.find("codec_type=audio") == std::string::npos) {
        close(fd);
        return refuse(program, path, "has no sound in it");
    }
    double declared_s = -1;  // "N/A" when the file does not say
    const size_t d = probe.out.find("duration=");
    if (d != std::string::npos)
        sscanf(probe.out.c_str() + d, "duration=%lf", &declared_s);

    // The sound itself: from the start, start_ms + want_ms of it, as 48 kHz
    // stereo float; the start offset is dropped here, to the sample.
    const uint64_t total_ms = (uint64_t)start_ms + want_ms;
    const uint64_t skip_frames = music_sample_at(start_ms), want_frames = (uint64_t)want_ms * music_rate / 1000;
    const size_t frame_bytes = sizeof(float) * music_channels;
    char limit[32];
    snprintf(limit, sizeof limit, "%llu.%03llu", (unsigned long long)(total_ms / 1000),
             (unsigned long long)(total_ms % 1000));
    lseek(fd, 0, SEEK_SET);
    run_result decoded = run({"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-protocol_whitelist",
                              "file", "-format_whitelist", audio_formats, "-t", limit, "-i", input, "-map", "0:a:0",
                              "-ac", "2", "-ar", "48000", "-c:a", "pcm_f32le", "-f", "f32le", "pipe:1"},
                             fd, skip_frames * frame_bytes, (size_t)(want_frames + music_rate) * frame_bytes);
    close(fd);
    if (decoded.spawn_error)
        return refuse(program, path, std::string("cannot run ffmpeg to decode it: ") + strerror(decoded.spawn_error),
                      music_no_decoder);
    if (decoded.timed_out)
        return refuse(program, path, "took ffmpeg longer than " + std::to_string(decode_deadline_s) + " s to decode");
    if (decoded.too_long || !WIFEXITED(decoded.status) || WEXITSTATUS(decoded.status) != 0) {
        const std::string why = first_line(decoded.err, input);
        return refuse(program, path, "ffmpeg cannot decode it" + (why.empty() ? "" : " (" + why + ")"));
    }
    const uint64_t got = decoded.out.size() / frame_bytes;
    const double decoded_s = (double)(decoded.skipped + decoded.out.size()) / frame_bytes / music_rate;
    if (decoded_s == 0)
        return refuse(program, path, "has no sound in it");
    // The file said it is longer than what came out of it.
    const double expected_s = declared_s > 0 && declared_s < total_ms / 1000.0 ? declared_s : total_ms / 1000.0;
    if (declared_s > 0 && decoded_s < expected_s * 0.98 - 0.1)
        return refuse(program, path, "is truncated: ffmpeg decoded " + seconds_text(decoded_s) + " s of its " +
                                         seconds_text(declared_s) + " s");
    if (got == 0)
        return refuse(program, path, "ends at " + seconds_text(decoded_s) + " s, before the music's start at " +
                                         seconds_text(start_ms / 1000.0) + " s");
    src->frames = got < want_frames ? got : want_frames;
    src->ended = got < want_frames;
    src->samples.resize(src->frames * music_channels);
    memcpy(src->samples.data(), decoded.out.data(), src->frames * frame_bytes);
    return music_ok;
}

uint32_t music_length_ms(const music_source& src)
{
    return (uint32_t)(src.frames * 1000 / music_rate);
}
