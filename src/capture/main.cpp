/* main.cpp - vexa-capture: the show rendered offscreen into PNG files or a
   video, with the program's own scene set-up and frame code, and no display.

     vexa-capture --time 5050 --out frame.png
     vexa-capture --fps 60 --out frames/        frames/frame-00000.png ...
     vexa-capture --out show.mp4                 (ffmpeg, 30 fps)
     vexa-capture --sheet --out sheet.png
     vexa-capture --title Danke --photo-image trip.jpg --out credits.mp4
                                                 (artwork built on the fly)
     vexa-capture --batch people.csv --size 1280x720
                                                 (one video per row, batch.h)

   Exit status: 0 done, 1 a failure (the artwork, the GL context, writing the
   output; the failing part says what), 2 bad options (one line saying
   which, and a pointer to --help); on SIGINT, SIGTERM or SIGHUP it ends by
   that signal (128 + its number in the shell) after removing what it was
   writing and stopping ffmpeg. */
#include "alpha.h"
#include "art_dir.h"
#include "credits_file.h"
#include "doc_load.h"
#include "art_files.h"
#include "art_output.h"
#include "bmp_format.h"
#include "audio_pop.h"
#include "music.h"
#include "sound_track.h"
#include "batch.h"
#include "capture_music.h"
#include "capture_show.h"
#include "contact_sheet.h"
#include "cues.h"
#include "egl_context.h"
#include "frame_dir.h"
#include "frame_jobs.h"
#include "frame_pool.h"
#include "interrupt.h"
#include "options.h"
#include "png_write.h"
#include "progress.h"
#include "render.h"
#include "sequence.h"
#include "std_streams.h"
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

/* The artwork options' own artwork. A run that draws in this process keeps
   it in memory (own_images) when it is the catalogue's twelve pictures;
   otherwise (the processes of a sequence, the extra pictures of a
   document) it is painted into a new temporary directory (under $TMPDIR or
   /tmp) whose path goes into *dir. The words it shows go into *words. 0,
   or 1 after the failing part has said what; *dir is set whenever the
   directory exists. */
static int art_slot = -1;  // the directory's place in the interrupt registry
static std::vector<art_image> own_art;
static show_image own_shown[my_art_file_count];
static const show_image* own_images;  // null: the artwork is read from its directory

static int make_art_dir(std::string* dir)
{
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
    return 0;
}

static int build_art(const capture_options& o, std::string* dir, std::vector<std::string>* words)
{
    art_texts texts = o.art;
    texts.doc = &o.doc;
    texts.credits_file = o.credits_file;
    if (art_lines_read(o.art_lines, &texts, "vexa-capture") != 0)
        return 1;
    *words = art_shown_words(&texts);
    if (o.mode == mode_frames)
        return make_art_dir(dir) != 0 ? 1 : art_write(dir->c_str(), &texts, "vexa-capture");
    std::vector<art_note> notes;
    const int painted = art_make(&texts, &own_art, &notes);
    for (const art_note& note : notes)
        fprintf(stderr, "vexa-capture: %s\n", note.text.c_str());
    if (painted != 0)
        return 1;
    if (own_art.size() == my_art_file_count) {
        for (int i = 0; i < my_art_file_count; ++i)
            own_shown[i] = {own_art[i].bytes.data(), own_art[i].bytes.size()};
        own_images = own_shown;
        return 0;
    }
    if (make_art_dir(dir) != 0)
        return 1;
    std::vector<art_output_file> files;
    for (art_image& image : own_art)
        files.push_back({image.name, std::move(image.bytes)});
    own_art.clear();
    std::string why;
    if (!art_output_write(*dir, files, &why)) {
        fprintf(stderr, "vexa-capture: %s\n", why.c_str());
        return 1;
    }
    return 0;
}

static void remove_art(const std::string& dir)
{
    std::vector<art_image>().swap(own_art);  // the show holds its images as textures now
    own_images = NULL;
    if (dir.empty())
        return;
    for (const char* name : my_art_files)
        unlink((dir + "/" + name).c_str());
    char extra[16];
    for (int i = 0; i < my_art_extra_count; ++i) {
        art_extra_file(i, extra);
        unlink((dir + "/" + extra).c_str());
    }
    rmdir(dir.c_str());
    interrupt_drop_file(art_slot);
    art_slot = -1;
}

/* The show set up as the window program sets it up, with the artwork from
   tex_dir. A missing or broken image has been named by the loader; the
   system's reason follows when there is one. */
static int load_show(const capture_options& o, const std::string& tex_dir)
{
    show_setup setup = {};
    setup.tex_dir = tex_dir.c_str();
    // As the window program reads it; an overlay has no backdrop, whatever the environment says.
    setup.photo = !o.alpha && (o.photo || getenv("VEXA_PHOTO") != NULL);
    setup.seed = o.seed;
    setup.overlay = o.alpha;
    setup.doc = &o.doc;
    setup.images = own_images;
    if (show_init(&setup) == 0) {
        if (o.alpha)
            alpha_prepare();
        return 0;
    }
    if (errno != 0)
        fprintf(stderr, "vexa-capture: %s\n", strerror(errno));
    return 1;
}

/* The GL context, the framebuffer and the show. */
static int open_show(const capture_options& o, const std::string& tex_dir)
{
    if (egl_open() != 0 || render_open(o.width, o.height, o.layout) != 0)
        return 1;
    return load_show(o, tex_dir);
}

/* Draws frames first, first + step ... of the span into a pool's buffers, in
   order, and hands them to its workers. The share starting at frame 0 shows
   the progress of all. */
static int render_span(const capture_options& o, uint32_t first, uint32_t step, frame_pool* pool)
{
    const uint32_t total = frame_count(o.from, o.to, o.rate);
    for (uint32_t k = first; k < total; k += step) {
        unsigned char* frame = frame_pool_take(pool);
        if (!frame)
            break;
        render_frame_rgba(frame_time(o.from, k, o.rate), frame);
        if (o.alpha)
            alpha_straighten(frame, (size_t)o.width * o.height);
        frame_pool_submit(pool, frame, k);
        if (first == 0)  // the other shares are about as far on
            progress_show(k + step < total ? k + step : total, total);
    }
    if (first == 0)
        progress_end();
    return frame_pool_finish(pool);
}

/* What each process of a sequence opens, and where its frames go. */
struct frames_job {
    const capture_options* o;
    const std::string* tex_dir;
    const frame_dir* dir;
};

static int write_numbered_png(void* context, uint32_t k, const unsigned char* rgba)
{
    const frames_job* job = (const frames_job*)context;
    const capture_options* o = job->o;
    const std::string path = frame_path(job->dir->build, k);
    if (o->alpha)
        return png_write_with_alpha(path.c_str(), rgba, o->width, o->height, png_fast);
    return png_write_rgba_flipped(path.c_str(), rgba, o->width, o->height, png_fast);
}

static int open_frames_job(void* context)
{
    const frames_job* job = (const frames_job*)context;
    return open_show(*job->o, *job->tex_dir);
}

/* One process's share: every jobs-th frame. With more than one job, each
   process compresses a frame on a thread of its own while it draws the
   next; one job alone draws and compresses each frame in turn. */
static int draw_frames_share(void* context, int job, int jobs)
{
    const capture_options* o = ((const frames_job*)context)->o;
    const size_t bytes = (size_t)o->width * o->height * 4;
    frame_pool* pool = frame_pool_start(jobs > 1 ? 1 : 0, bytes, write_numbered_png, context);
    return render_span(*o, (uint32_t)job, (uint32_t)jobs, pool);
}

/* The frames, and their sound with --pop, --beep or --music, as one set (frame_dir.h). */
static int write_frames(const capture_options& o, const std::string& tex_dir, const music_bed* music)
{
    frame_dir dir;
    if (frame_dir_open(o.out, o.force, &dir) != 0)
        return 1;
    const uint32_t total = frame_count(o.from, o.to, o.rate);
    const int jobs = (uint32_t)o.jobs < total ? o.jobs : total > 0 ? (int)total : 1;
    frames_job job = {&o, &tex_dir, &dir};
    int status = run_jobs(jobs, open_frames_job, draw_frames_share, &job);
    if (status == 0 && (o.pop || o.beep || music))
        status = sound_write_wav(frame_sound_path(dir.build).c_str(),
                                 sound_track_for(o.rate, o.from, o.to, {o.pop, o.beep, o.tone_level}, music, o.timeline));
    if (status != 0) {
        frame_dir_discard(&dir);
        return 1;
    }
    return frame_dir_commit(&dir);
}

static int send_frame(void*, uint32_t, const unsigned char* rgba)
{
    return video_frame(rgba);
}

/* A video under way: its sound and the encoder. start_video starts ffmpeg
   before the show is loaded, so that the encoder's own start-up runs
   meanwhile; finish_video draws every frame into it (when the show is
   ready) and closes it, the file kept only when all went well. */
struct video_run {
    sound_track track;
    std::string sound_input;
    int sound_fd = -1;
};

static int start_video(const capture_options& o, const music_bed* music, video_run* v)
{
    v->track = sound_track_for(o.rate, o.from, o.to, {o.pop, o.beep, o.tone_level}, music, o.timeline);
    encode_settings settings = {o.kind, o.width, o.height, o.rate, o.crf, o.pop || o.beep ? &v->track.tones : NULL,
                                o.timecode, o.alpha};
    // With music the track is mixed here, whole, and ffmpeg reads it from memory.
    v->sound_fd = music ? sound_memfd(v->track, &v->sound_input) : -1;
    if (music && v->sound_fd < 0)
        return 1;
    if (music)
        settings.sound_input = v->sound_input.c_str();
    if (video_open(o.out, settings) != 0) {
        close(v->sound_fd);
        v->sound_fd = -1;
        return 1;
    }
    return 0;
}

static int finish_video(const capture_options& o, bool ready, video_run* v)
{
    int status = 1;
    if (ready) {
        // One worker feeds ffmpeg while the next frame is drawn and read back.
        const size_t bytes = (size_t)o.width * o.height * 4;
        status = render_span(o, 0, 1, frame_pool_start(1, bytes, send_frame, NULL));
        status = video_close(status == 0) != 0 || status != 0 ? 1 : 0;
    } else {
        video_abandon();
    }
    if (v->sound_fd >= 0)
        close(v->sound_fd);
    v->sound_fd = -1;
    return status;
}

static int run(capture_options& o);

/* One run from its command line: the program's own, or a batch's row. */
static int run_command_line(int argc, char** argv)
{
    capture_options o;
    const int parsed = parse_options(argc, argv, &o);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    if (o.batch)
        return batch_main(o, run_command_line);
    return run(o);
}

int main(int argc, char** argv)
{
    std_streams_open();  // so that no file or pipe opened here becomes one of them
    bmp_report_as("vexa-capture");
    return run_command_line(argc, argv);
}

/* A package's unpacked files go with the rest on an interrupt. */
static void remove_on_interrupt(const char* dir)
{
    interrupt_add_dir(dir);
}

static int run(capture_options& o)
{
    interrupt_install();  // from here on an interrupt removes what is half-written
    show_doc_on_temp_dir(remove_on_interrupt);
    // The show document (--show, or beside --tex's artwork) under the options.
    if (const int status = capture_show_open(&o))
        return status;
    if (o.credits_file) {  // the roll's lines, before anything is drawn
        if (credits_read(o.credits_file, &o.doc.credits) != 0)
            return 1;
        if (capture_settle_timeline(&o, true) != 0)
            return 2;
    }
    if (!o.has_seed) {
        o.seed = sys_milliseconds();
        o.has_seed = true;
        // So that a layout worth keeping can be rendered again.
        fprintf(stderr, "vexa-capture: seed %u\n", (unsigned)o.seed);
    }
    if (o.save_show) {
        if (const int status = capture_show_save(o))
            return status;
        if (!o.out)
            return 0;
    }
    // The show's music, decoded and made before anything is drawn: a file
    // that cannot be used, or no ffmpeg to decode it, refuses the run.
    static music_bed music;  // the show's whole music, when asked for
    const bool has_music = (o.mode == mode_video || o.mode == mode_frames) && !o.doc.sound.music.empty();
    {
        music_source src;
        if (const int status = capture_music_open(&o, &src))
            return status;
        if (has_music)
            music_make_bed(src, o.doc.sound, o.timeline.end_ms, &music);
    }
    std::string art_dir;  // the artwork options' own, removed once loaded
    std::vector<std::string> words;  // what it shows, for --cues
    if (o.own_art && build_art(o, &art_dir, &words) != 0) {
        remove_art(art_dir);
        return 1;
    }
    // Artwork in memory is named as if it were in "artwork/" (in messages only).
    const std::string tex_dir =
        o.own_art ? (own_images ? std::string("artwork") : art_dir) : find_art_dir(o.tex_dir, "vexa-capture");
    if (tex_dir.empty())
        return 1;
    if (o.mode == mode_frames) {  // its processes load the artwork each
        int status = write_frames(o, tex_dir, has_music ? &music : NULL);
        remove_art(art_dir);
        if (status == 0 && o.cues)
            status = cues_write(o.cues, words, o.doc.credits, o.timeline, o.rate, o.from, o.to);
        return status;
    }
    video_run video;
    if (o.mode == mode_video && start_video(o, has_music ? &music : NULL, &video) != 0) {
        remove_art(art_dir);
        return 1;
    }
    const bool ready = open_show(o, tex_dir) == 0;
    remove_art(art_dir);  // the show holds its images as textures now
    if (!ready) {
        if (o.mode == mode_video)
            finish_video(o, false, &video);  // stops ffmpeg, removes what it began
        return 1;
    }

    int status = 0;
    switch (o.mode) {
    case mode_frame: {
        if (o.alpha) {
            std::vector<unsigned char> rgba((size_t)o.width * o.height * 4);
            render_frame_rgba(o.time_ms, rgba.data());
            alpha_straighten(rgba.data(), (size_t)o.width * o.height);
            status = png_write_with_alpha(o.out, rgba.data(), o.width, o.height, png_small);
            break;
        }
        std::vector<unsigned char> rgb((size_t)o.width * o.height * 3);
        render_frame(o.time_ms, rgb.data());
        status = png_write(o.out, rgb.data(), o.width, o.height, png_small);
        break;
    }
    case mode_frames:
        break;
    case mode_video:
        status = finish_video(o, true, &video);
        if (status == 0 && o.cues)
            status = cues_write(o.cues, words, o.doc.credits, o.timeline, o.rate, o.from, o.to);
        break;
    case mode_sheet:
        status = sheet_write(o.out, o.width, o.height);
        break;
    }
    egl_close();
    return status;
}
