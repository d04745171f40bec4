/* batch_done.cpp - see batch_done.h. */
#include "batch_done.h"
#include "capture_music.h"
#include "credits_file.h"
#include "frame_dir.h"
#include "options.h"
#include "png_read.h"
#include "video_check.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

static bool is_file(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

/* A picture that decodes whole, of the size asked for (0: any). */
static bool picture_whole(const std::string& path, int width, int height)
{
    int w, h;
    return png_decodes(path.c_str(), &w, &h) && (width == 0 || (w == width && h == height));
}

static uint32_t le(const unsigned char* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

/* A WAV file whose header (RIFF, then its data chunk) tells its whole
   length: a file cut short, or grown, does not match. */
static bool sound_whole(const std::string& path)
{
    struct stat st;
    unsigned char head[44];
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool read_all = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && read(fd, head, sizeof head) == sizeof head;
    close(fd);
    return read_all && memcmp(head, "RIFF", 4) == 0 && memcmp(head + 8, "WAVE", 4) == 0 &&
           memcmp(head + 36, "data", 4) == 0 && le(head + 4, 4) + 8 == (uint64_t)st.st_size &&
           le(head + 40, 4) + 44 == (uint64_t)st.st_size;
}

static bool frames_complete(const capture_options& o, uint32_t total)
{
    DIR* d = opendir(o.out);
    if (!d)
        return false;
    uint32_t frames = 0;
    while (const dirent* e = readdir(d))
        frames += frame_is_frame_name(e->d_name);
    closedir(d);
    if (frames != total)
        return false;
    for (uint32_t k = 0; k < total; ++k)
        if (!picture_whole(frame_path(o.out, k), o.width, o.height))
            return false;
    return !(o.pop || o.beep) || sound_whole(frame_sound_path(o.out));
}

static bool output_complete(const capture_options& o)
{
    switch (o.mode) {
    case mode_frames:
        return frames_complete(o, frame_count(o.from, o.to, o.rate));
    case mode_video:
        return video_frames_in(o.out) == (long)frame_count(o.from, o.to, o.rate) &&
               video_decodes_whole(o.out, o.pop || o.beep);
    case mode_frame:
        return picture_whole(o.out, o.width, o.height);
    case mode_sheet:
        return picture_whole(o.out, 0, 0);
    }
    return false;
}

bool batch_output_complete(const std::vector<std::string>& args)
{
    std::vector<char*> argv = {const_cast<char*>("vexa-capture")};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(NULL);
    // The run reports a command line it refuses; here it only means "not done".
    fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDERR_FILENO);
    capture_options o;
    const int parsed = parse_options((int)argv.size() - 1, argv.data(), &o);
    // The span as the run works it out: a credits roll lengthens the show,
    // and so does the music of a show ending with it.
    music_source music;
    const bool timed = parsed == 0 &&
                       (!o.credits_file || (credits_read(o.credits_file, &o.doc.credits) == 0 &&
                                            capture_settle_timeline(&o, true) == 0)) &&
                       (!o.doc.timing.closing_music || capture_music_open(&o, &music) == 0);
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(quiet);
    return timed && output_complete(o) && (!o.cues || is_file(o.cues));
}
