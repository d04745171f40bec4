/* main.cpp - vexa-capture: the show rendered offscreen into PNG files or a
   video, with the program's own scene set-up and frame code, and no display.

     vexa-capture --time 5050 --out frame.png
     vexa-capture --fps 60 --out frames/        frames/frame-00000.png ...
     vexa-capture --out show.mp4                 (ffmpeg, 30 fps)
     vexa-capture --sheet --out sheet.png

   Exit status: 0 done, 1 a failure (the artwork, the GL context, writing the
   output; the failing part says what), 2 bad options (with the usage). */
#include "contact_sheet.h"
#include "egl_context.h"
#include "audio_pop.h"
#include "frame_pool.h"
#include "framebuffer.h"
#include "options.h"
#include "png_write.h"
#include "progress.h"
#include "video.h"
#include "vexa.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

/* my_init as the show runs it, from the directory holding tex/ when one is
   given; the working directory is restored afterwards so that relative
   output paths keep their meaning. A missing or broken image ends the
   program in my_init with the loader's message and status 1. */
static int load_show(const capture_options& o)
{
    if (o.photo)
        setenv("VEXA_PHOTO", "1", 1);
    int here = -1;
    if (o.tex_dir) {
        here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (here < 0 || chdir(o.tex_dir) != 0) {
            fprintf(stderr, "vexa-capture: %s: %s\n", o.tex_dir, strerror(errno));
            return 1;
        }
    }
    errno = 0;  // my_exit reports errno: only what the loader ran into may be in it
    my_init();
    if (here >= 0) {
        if (fchdir(here) != 0) {
            fprintf(stderr, "vexa-capture: cannot return to the working directory: %s\n", strerror(errno));
            return 1;
        }
        close(here);
    }
    if (o.has_seed)
        layout_strips(o.seed);
    return 0;
}

/* Draws the span's frames into a pool's buffers, in order, and hands
   them to its workers. */
static int render_span(const capture_options& o, frame_pool* pool)
{
    const uint32_t total = frames_before(o.rate, o.from, o.to);
    for (uint32_t k = 0; k < total; ++k) {
        unsigned char* frame = frame_pool_take(pool);
        if (!frame)
            break;
        fb_render_rgba(frame_time(k, o.rate, o.from), frame);
        frame_pool_submit(pool, frame, k);
        progress_show(k + 1, total);
    }
    progress_end();
    return frame_pool_finish(pool);
}

struct frames_out {
    const char* dir;
    int width, height;
};

static int write_numbered_png(void* context, uint32_t k, const unsigned char* rgba)
{
    const frames_out* out = (const frames_out*)context;
    char name[32];
    snprintf(name, sizeof name, "/frame-%05u.png", (unsigned)k);
    return png_write_rgba_flipped((std::string(out->dir) + name).c_str(), rgba, out->width, out->height, png_fast);
}

static int write_frames(const capture_options& o)
{
    if (mkdir(o.out, 0777) != 0 && errno != EEXIST) {
        fprintf(stderr, "vexa-capture: %s: %s\n", o.out, strerror(errno));
        return 1;
    }
    frames_out out = {o.out, o.width, o.height};
    const size_t bytes = (size_t)o.width * o.height * 4;
    if (render_span(o, frame_pool_start(frame_pool_workers(o.jobs, bytes), bytes, write_numbered_png, &out)) != 0)
        return 1;
    if (!o.pop)
        return 0;
    const pop_track track = pop_track_for(o.rate, o.from, o.to);
    return pop_write_wav((std::string(o.out) + "/audio.wav").c_str(), track);
}

static int send_frame(void*, uint32_t, const unsigned char* rgba)
{
    return video_frame(rgba);
}

static int write_video(const capture_options& o)
{
    const pop_track track = pop_track_for(o.rate, o.from, o.to);
    const encode_settings settings = {o.kind, o.width, o.height, o.rate, o.crf, o.pop ? &track : NULL};
    if (video_open(o.out, settings) != 0)
        return 1;
    // One worker feeds ffmpeg while the next frame is drawn and read back.
    const size_t bytes = (size_t)o.width * o.height * 4;
    const int status = render_span(o, frame_pool_start(1, bytes, send_frame, NULL));
    return video_close(status == 0) != 0 || status != 0 ? 1 : 0;
}

int main(int argc, char** argv)
{
    capture_options o;
    const int parsed = parse_options(argc, argv, &o);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    if (egl_open() != 0 || fb_open(o.width, o.height) != 0)
        return 1;
    if (load_show(o) != 0)
        return 1;

    int status = 0;
    switch (o.mode) {
    case mode_frame: {
        std::vector<unsigned char> rgb((size_t)o.width * o.height * 3);
        fb_render(o.time_ms, rgb.data());
        status = png_write(o.out, rgb.data(), o.width, o.height, png_small);
        break;
    }
    case mode_frames:
        status = write_frames(o);
        break;
    case mode_video:
        status = write_video(o);
        break;
    case mode_sheet:
        status = sheet_write(o.out, o.width, o.height);
        break;
    }
    egl_close();
    return status;
}
