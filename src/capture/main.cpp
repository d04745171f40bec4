/* main.cpp - vexa-capture: the show rendered offscreen into PNG files or a
   video, with the program's own scene set-up and frame code, and no display.

     vexa-capture --time 5050 --out frame.png
     vexa-capture --fps 60 --out frames/        frames/frame-00000.png ...
     vexa-capture --out show.mp4                 (ffmpeg, 30 fps)
     vexa-capture --sheet --out sheet.png

   Exit status: 0 done, 1 a failure (the artwork, the GL context, writing the
   output; the failing part says what), 2 bad options (with the usage). */
#include "audio_pop.h"
#include "contact_sheet.h"
#include "egl_context.h"
#include "frame_pool.h"
#include "options.h"
#include "png_write.h"
#include "progress.h"
#include "render.h"
#include "sequence.h"
#include "sys.h"
#include "video.h"
#include "vexa.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

/* The show set up as the window program sets it up, with the artwork from
   DIR/tex when --tex DIR is given. A missing or broken image has been named
   by the loader; the system's reason follows when there is one. */
static int load_show(const capture_options& o)
{
    const std::string tex = o.tex_dir ? std::string(o.tex_dir) + "/tex" : std::string("tex");
    GLint max_texture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture);
    show_setup setup;
    setup.tex_dir = tex.c_str();
    setup.photo = o.photo || getenv("VEXA_PHOTO") != NULL;  // as the show reads it
    setup.seed = o.has_seed ? o.seed : sys_milliseconds();
    if (!o.has_seed)  // so that a layout worth keeping can be rendered again
        fprintf(stderr, "vexa-capture: seed %u\n", (unsigned)setup.seed);
    setup.max_texture = max_texture;
    if (show_init(&setup) == 0)
        return 0;
    if (errno != 0)
        fprintf(stderr, "%s\n", strerror(errno));
    return 1;
}

/* Draws the span's frames into a pool's buffers, in order, and hands
   them to its workers. */
static int render_span(const capture_options& o, frame_pool* pool)
{
    const uint32_t total = frame_count(o.from, o.to, o.rate);
    for (uint32_t k = 0; k < total; ++k) {
        unsigned char* frame = frame_pool_take(pool);
        if (!frame)
            break;
        render_frame_rgba(frame_time(o.from, k, o.rate), frame);
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
    if (egl_open() != 0 || render_open(o.width, o.height, o.fit) != 0)
        return 1;
    if (load_show(o) != 0)
        return 1;

    int status = 0;
    switch (o.mode) {
    case mode_frame: {
        std::vector<unsigned char> rgb((size_t)o.width * o.height * 3);
        render_frame(o.time_ms, rgb.data());
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
