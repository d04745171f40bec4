/* main.cpp - vexa-capture: the show rendered offscreen into PNG files or a
   video, with the program's own scene set-up and frame code, and no display.

     vexa-capture --time 5050 --out frame.png
     vexa-capture --fps 60 --out frames/        frames/frame-00000.png ...
     vexa-capture --out show.mp4                 (ffmpeg, 30 fps)
     vexa-capture --sheet --out sheet.png
     vexa-capture --title Danke --photo-image trip.jpg --out credits.mp4
                                                 (artwork built on the fly)

   Exit status: 0 done, 1 a failure (the artwork, the GL context, writing the
   output; the failing part says what), 2 bad options (one line saying
   which, and a pointer to --help); on SIGINT, SIGTERM or SIGHUP it ends by
   that signal (128 + its number in the shell) after removing what it was
   writing and stopping ffmpeg. */
#include "art_dir.h"
#include "contact_sheet.h"
#include "egl_context.h"
#include "frame_dir.h"
#include "interrupt.h"
#include "options.h"
#include "png_write.h"
#include "progress.h"
#include "render.h"
#include "sequence.h"
#include "sys.h"
#include "video.h"
#include "vexa.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

/* The artwork options' own artwork, painted into a new temporary directory
   (under $TMPDIR or /tmp) whose path goes into *dir. 0, or 1 after the
   failing part has said what; *dir is set whenever the directory exists. */
static int art_slot = -1;  // the directory's place in the interrupt registry

static int build_art(const capture_options& o, std::string* dir)
{
    art_texts texts = o.art;
    for (const art_line& l : o.art_lines) {
        if (!l.from_file) {
            texts.lines.push_back(l.value);
            texts.lines_set = true;
        } else if (art_read_lines(l.value, &texts, "vexa-capture") != 0) {
            return 1;
        }
    }
    const char* base = getenv("TMPDIR");
    std::string name = std::string(base && *base ? base : "/tmp") + "/vexa-capture-art.XXXXXX";
    interrupt_hold(true);  // made and registered as one step
    const bool made = mkdtemp(&name[0]) != NULL;
    if (made)
        art_slot = interrupt_add_dir(name.c_str());
    interrupt_hold(false);
    if (!made) {
        fprintf(stderr, "vexa-capture: cannot make a directory %s: %s\n", name.c_str(), strerror(errno));
        return 1;
    }
    *dir = name;
    return art_write(name.c_str(), &texts, "vexa-capture");
}

static void remove_art(const std::string& dir)
{
    if (dir.empty())
        return;
    for (const std::string& name : art_file_names())
        unlink((dir + "/" + name).c_str());
    rmdir(dir.c_str());
    interrupt_drop_file(art_slot);
    art_slot = -1;
}

/* The show set up as the window program sets it up, with the artwork from
   tex_dir. A missing or broken image has been named by the loader; the
   system's reason follows when there is one. */
static int load_show(const capture_options& o, const std::string& tex_dir)
{
    GLint max_texture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture);
    show_setup setup;
    setup.tex_dir = tex_dir.c_str();
    setup.photo = o.photo || getenv("VEXA_PHOTO") != NULL;  // as the show reads it
    setup.seed = o.has_seed ? o.seed : sys_milliseconds();
    setup.max_texture = max_texture;
    if (show_init(&setup) == 0)
        return 0;
    if (errno != 0)
        fprintf(stderr, "%s\n", strerror(errno));
    return 1;
}

static int write_frames(const capture_options& o, std::vector<unsigned char>& rgb)
{
    if (frame_dir_prepare(o.out, o.force) != 0)
        return 1;
    const uint32_t total = frame_count(0, o.fps);
    for (uint32_t k = 0; k < total; ++k) {
        render_frame(frame_time(0, k, o.fps), rgb.data());
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
    const uint32_t total = frame_count(0, o.fps);
    for (uint32_t k = 0; k < total; ++k) {
        render_frame(frame_time(0, k, o.fps), rgb.data());
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
    std::string art_dir;  // the artwork options' own, removed once loaded
    if (o.own_art && build_art(o, &art_dir) != 0) {
        remove_art(art_dir);
        return 1;
    }
    const std::string tex_dir = o.own_art ? art_dir : find_art_dir(o.tex_dir, "vexa-capture");
    if (tex_dir.empty())
        return 1;
    const bool ready = egl_open() == 0 && render_open(o.width, o.height) == 0 && load_show(o, tex_dir) == 0;
    remove_art(art_dir);  // the show holds its images as textures now
    if (!ready)
        return 1;

    std::vector<unsigned char> rgb((size_t)o.width * o.height * 3);
    int status = 0;
    switch (o.mode) {
    case mode_frame:
        render_frame(o.time_ms, rgb.data());
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
