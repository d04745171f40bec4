/* video_check.cpp - see video_check.h. ffprobe (child.h) writes the count
   on its standard output. */
#include "video_check.h"
#include "child.h"
#include "decimal.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

long video_frames_in(const char* path)
{
    const std::vector<std::string> argv = {
        "ffprobe", "-v", "quiet", "-select_streams", "v:0", "-count_packets",
        "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0", std::string("file:") + path,
    };
    child probe;
    if (child_start(argv, pipe_from_child, &probe) != 0)
        return video_unchecked;
    char text[64], rest[256];
    size_t used = 0;
    for (;;) {  // the first bytes kept, the rest drained so that ffprobe can finish
        const bool room = used < sizeof text;
        const ssize_t n = room ? read(probe.fd, text + used, sizeof text - used) : read(probe.fd, rest, sizeof rest);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (room)
            used += (size_t)n;
    }
    if (!child_failure(probe, child_finish(&probe)).empty())
        return video_unreadable;
    if (used == 0)
        return 0;  // no video stream
    const size_t digits = used > 0 && text[used - 1] == '\n' ? used - 1 : used;
    uint64_t frames;
    if (!read_decimal(text, digits, 18, &frames))
        return video_unreadable;
    return (long)frames;
}

bool video_decodes_whole(const char* path, bool sound)
{
    std::vector<std::string> argv = {"ffmpeg", "-nostdin", "-v", "error", "-i", std::string("file:") + path};
    for (const char* map : sound ? std::vector<const char*>{"0:v", "0:a"} : std::vector<const char*>{"0"})
        argv.insert(argv.end(), {"-map", map});
    argv.insert(argv.end(), {"-f", "null", "-"});
    child decode;
    if (child_start(argv, pipe_all_from_child, &decode) != 0)
        return false;
    bool said = false;  // any complaint at all
    char chunk[256];
    ssize_t n;
    while ((n = read(decode.fd, chunk, sizeof chunk)) != 0)
        if (n > 0)
            said = true;
        else if (errno != EINTR)
            break;
    return child_failure(decode, child_finish(&decode)).empty() && !said;
}
