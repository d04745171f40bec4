/* main.cpp - vexa-capture: the show rendered offscreen into PNG files or a
   video, with the program's own scene set-up and frame code, and no display.

     vexa-capture --time 5050 --out frame.png
     vexa-capture --fps 60 --out frames/        frames/frame-00000.png ...
     vexa-capture --out show.mp4                 (ffmpeg, 30 fps)
     vexa-capture --sheet --out sheet.png

   Exit status: 0 done, 1 a failure (the artwork, the GL context, writing the
   output; the failing part says what), 2 bad options (with the usage); on
   SIGINT, SIGTERM or SIGHUP it ends by that signal (128 + its number in the
   shell) after removing what it was writing and stopping ffmpeg. */
#include "contact_sheet.h"
#include "egl_context.h"
#include "frame_dir.h"
#include "framebuffer.h"
#include "interrupt.h"
#include "options.h"
#include "png_write.h"
#include "progress.h"
#include "video.h"
#include "vexa.h"

#include <fcntl.h>
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

static int write_frames(const capture_options& o, std::vector<unsigned char>& rgb)
{
    if (frame_dir_prepare(o.out, o.force) != 0)
        return 1;
    const uint32_t total = frame_count(o.fps);
    for (uint32_t k = 0; k < total; ++k) {
        fb_render(frame_time(k, o.fps), rgb.data());
        if (png_write(frame_path(o.out, k).c_str(), rgb.data(), o.width, o.height, png_fast) != 0) {
            progress_end();
            return 1;
        }
        progress_show(k + 1, total);
    }
    progress_end();
    return 0;
}

static int write_video(const capture_options& o, std::vector<unsigned char>& rgb)
{
    if (video_open(o.out, o.width, o.height, o.fps) != 0)
        return 1;
    const uint32_t total = frame_count(o.fps);
    for (uint32_t k = 0; k < total; ++k) {
        fb_render(frame_time(k, o.fps), rgb.data());
        if (video_frame(rgb.data()) != 0) {
            progress_end();
            video_close(false);
            return 1;
        }
        progress_show(k + 1, total);
    }
    progress_end();
    return video_close(true);
}

int main(int argc, char** argv)
{
    capture_options o;
    const int parsed = parse_options(argc, argv, &o);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    interrupt_install();  // from here on an interrupt removes what is half-written
    if (egl_open() != 0 || fb_open(o.width, o.height) != 0)
        return 1;
    if (load_show(o) != 0)
        return 1;

    std::vector<unsigned char> rgb((size_t)o.width * o.height * 3);
    int status = 0;
    switch (o.mode) {
    case mode_frame:
        fb_render(o.time_ms, rgb.data());
        status = png_write(o.out, rgb.data(), o.width, o.height, png_small);
        break;
    case mode_frames:
        status = write_frames(o, rgb);
        break;
    case mode_video:
        status = write_video(o, rgb);
        break;
    case mode_sheet:
        status = sheet_write(o.out, o.width, o.height);
        break;
    }
    egl_close();
    return status;
}
