/* options_output.cpp - the options that say what vexa-capture writes and
   when: --out, the one frame's --time, --sheet, the span and rate of a
   sequence (--fps, --from, --to), the video's --crf, --timecode, the --cues
   beside it, --jobs, --size and --force; and the checks that the output's
   kind takes them. Rows and checks as option_table.h sets out. */
#include "option_table.h"
#include "cues.h"
#include "encode_args.h"
#include "show_times.h"
#include "timecode.h"

#include <cstring>

static bool set_out(parse_state* s, const char* v)
{
    s->o->out = v;
    return *v != '\0';
}

static bool set_time(parse_state* s, const char* v)
{
    unsigned long n;
    if (!read_number(v, 0, longest_show_ms, &n))
        return false;
    s->o->time_ms = (uint32_t)n;
    s->has_time = true;
    s->time_text = v;
    return true;
}

static bool set_sheet(parse_state* s, const char*)
{
    s->sheet = true;
    return true;
}

static bool set_fps(parse_state* s, const char* v)
{
    s->span_option = "--fps";
    return parse_frame_rate(v, &s->o->rate);
}

static bool set_from(parse_state* s, const char* v)
{
    unsigned long n;
    s->span_option = "--from";
    if (!read_number(v, 0, longest_show_ms, &n))
        return false;
    s->o->from = (uint32_t)n;
    s->from_text = v;
    return true;
}

static bool set_to(parse_state* s, const char* v)
{
    unsigned long n;
    s->span_option = "--to";
    if (!read_number(v, 1, longest_show_ms, &n))
        return false;
    s->o->to = (uint32_t)n;
    s->to_text = v;
    return true;
}

static bool set_crf(parse_state* s, const char* v)
{
    unsigned long n;
    if (!read_number(v, 0, vp9_max_crf, &n))  // the widest; the kind's own range is checked later
        return false;
    s->o->crf = (int)n;
    s->has_crf = true;
    return true;
}

static bool set_timecode(parse_state* s, const char* v)
{
    s->o->timecode = v;
    return true;
}

static bool set_cues(parse_state* s, const char* v)
{
    s->o->cues = v;
    s->span_option = "--cues";
    return cues_kind(v);
}

static bool set_jobs(parse_state* s, const char* v)
{
    unsigned long n;
    if (!read_number(v, 1, max_jobs, &n))
        return false;
    s->o->jobs = (int)n;
    s->has_jobs = true;
    return true;
}

/* WIDTHxHEIGHT, both sides read alike. */
static bool set_size(parse_state* s, const char* v)
{
    unsigned long vw, vh;
    const char* rest;
    if (!read_number_until(v, 'x', 1, max_side, &vw, &rest) || !read_number_until(rest, '\0', 1, max_side, &vh, &rest))
        return false;
    s->o->width = (int)vw;
    s->o->height = (int)vh;
    return true;
}

static bool set_force(parse_state* s, const char*)
{
    s->force = true;
    return true;
}

static const option_row rows[] = {
    {10, "out", 'o', "PATH", "FRAME.png, SHEET.png, a video (.mp4 .mkv .webm .mov) or a directory\n(DIR/ or an existing one); the ending in any case",
     "--out wants a path", set_out},
    {20, "time", 't', "MS", "show time of the one frame, 0 to the show's last (" + num(show_last_ms) + " classically)",
     "--time wants a show time from 0 to " + num(show_last_ms) + " ms", set_time},
    {30, "sheet", 0, NULL, "a 4x4 contact sheet of the show", NULL, set_sheet},
    {40, "fps", 0, "RATE", "frames per second of show time, " + num(min_fps) + " to " + num(max_fps) + " (default " +
     frame_rate_text(default_frame_rate) + "): 24, 12.5,\n30000/1001; 23.976, 29.97 and 59.94 are the NTSC rates (N000/1001)",
     "--fps wants a rate from " + num(min_fps) + " to " + num(max_fps) + " (60, 12.5, 29.97, 30000/1001)", set_fps},
    {50, "from", 0, "MS", "show time of the first frame (default 0)",
     "--from wants a show time from 0 to " + num(show_last_ms) + " ms", set_from},
    {60, "to", 0, "MS", "show time the frames stop before (default: the end, " + num(show_end_ms) + " classically)",
     "--to wants a show time from 1 to " + num(show_end_ms) + " ms", set_to},
    {70, "crf", 0, "N", "video quality, lower is better: H.264 0-" + num(h264_max_crf) + " (default " +
     num(h264_default_crf) + "), VP9 0-" + num(vp9_max_crf) + "\n(default " + num(vp9_default_crf) + ")",
     "--crf wants a number from 0 to " + num(vp9_max_crf), set_crf},
    {150, "timecode", 0, "TC", "start timecode HH:MM:SS:FF, HH:MM:SS;FF drop-frame at 29.97 and 59.94\n(.mov .mp4: a timecode track, .mkv: a tag; .mov has 00:00:00:00 by default)",
     NULL, set_timecode},
    {160, "cues", 0, "FILE", "the captions and strips as timed text, FILE.vtt (WebVTT) or FILE.srt\n(SubRip), times from the first frame",
     "--cues wants a file ending in .vtt or .srt", set_cues, nullptr, file_written},
    {170, "jobs", 0, "N", "processes drawing and compressing PNG frames, 1 to " + num(max_jobs) +
     "; with --batch\nthe rows rendered at once (default: the number of cores)",
     "--jobs wants a number from 1 to " + num(max_jobs), set_jobs, nullptr, file_none, true},
    {180, "size", 's', "WxH", "frame size in pixels (default " + num(default_width) + "x" + num(default_height) +
     "; even for video;\nthe contact sheet shows frames at a quarter of it)",
     "--size wants WIDTHxHEIGHT, each from 1 to " + num(max_side), set_size},
    {210, "force", 0, NULL, "replace a directory's set (frame-*.png, audio.wav)\nonce the new one is complete; without it, a directory\nholding one is refused; with --batch: redo the rows\nalready done", NULL,
     set_force, nullptr, file_none, true},
};
const option_group output_options = {rows, sizeof rows / sizeof rows[0]};

check_result check_out_given(parse_state* s)
{
    return s->o->out ? check_next : option_fail("--out is required", NULL);
}

/* The mode follows from the kind of --out; the options each mode takes. */
check_result check_kind(parse_state* s)
{
    capture_options* o = s->o;
    o->kind = output_kind_of(o->out);
    if (o->kind == kind_unknown)
        return option_fail("--out names no kind of output (.png .mp4 .mkv .webm .mov, or DIR/)", o->out);
    if (s->force && o->kind != kind_directory)
        return option_fail("--force is for a directory of frames, not", o->out);
    o->force = s->force;
    if (o->kind == kind_png) {
        if (s->span_option)
            return option_fail(std::string(s->span_option) + " is for a directory or a video, not", o->out);
        if (s->sheet == s->has_time)
            return option_fail("a .png output wants exactly one of --time and --sheet", NULL);
        o->mode = s->sheet ? mode_sheet : mode_frame;
    } else {
        if (s->has_time || s->sheet)
            return option_fail("--time and --sheet write a .png, not", o->out);
        o->mode = o->kind == kind_directory ? mode_frames : mode_video;
        // Without --to the span ends with the show, whose length a document
        // may set later: --from is held to that length then.
        if (o->to_given && o->from >= o->to)
            return option_fail("--from must come before --to", NULL);
        if (o->mode == mode_video && (o->width % 2 != 0 || o->height % 2 != 0))
            return option_fail("a video wants an even width and height", NULL);
    }
    return check_next;
}

check_result check_crf(parse_state* s)
{
    const capture_options* o = s->o;
    int lo, hi;
    if (s->has_crf && !crf_range(o->kind, &lo, &hi))
        return option_fail("--crf is for .mp4, .mkv and .webm, not", o->out);
    if (s->has_crf && (o->crf < lo || o->crf > hi))
        return option_fail((o->kind == kind_webm ? "--crf for VP9 is " : "--crf for H.264 is ") + num((unsigned long)lo) +
                               " to " + num((unsigned long)hi),
                           std::to_string(o->crf).c_str());
    return check_next;
}

check_result check_jobs(parse_state* s)
{
    if (s->has_jobs && s->o->mode != mode_frames)
        return option_fail("--jobs is for a directory of frames, not", s->o->out);
    return check_next;
}

check_result check_timecode(parse_state* s)
{
    capture_options* o = s->o;
    const bool takes_timecode = o->kind == kind_mov || o->kind == kind_mp4 || o->kind == kind_mkv;
    if (o->timecode && !takes_timecode)
        return option_fail("--timecode is for .mov, .mp4 and .mkv, not", o->out);
    if (o->timecode) {
        if (const char* why = timecode_check(o->timecode, o->rate))
            return option_fail(why, o->timecode);
    } else if (int fps; o->kind == kind_mov && timecode_rate(o->rate, &fps)) {
        o->timecode = "00:00:00:00";
    }
    return check_next;
}

check_result check_cues(parse_state* s)
{
    capture_options* o = s->o;
    if (o->cues && o->tex_dir)
        return option_fail("--cues needs the artwork's words, which --tex does not tell", NULL);
    if (o->cues)
        o->own_art = true;  // the default artwork, when no option changes it: its words are known
    return check_next;
}
