/* options_sound.cpp - the options for the sound track: the sync --pop, the
   leader's --beep each second and their --tone-level; the music bed
   (--music and its --music-start, --music-level, --fade-in, --fade-out,
   --no-loop: the show document's sound keys); and the checks that a level
   has a tone to set and the music's options a music. Rows and checks as option_table.h sets out. */
#include "option_table.h"
#include "audio_pop.h"
#include "decimal.h"
#include "music.h"

#include <cstring>

static bool set_pop(parse_state* s, const char*)
{
    s->o->pop = true;
    s->span_option = "--pop";
    return true;
}

static bool set_beep(parse_state* s, const char*)
{
    s->o->beep = true;
    s->span_option = "--beep";
    return true;
}

/* A level from lo to hi, with up to two decimals (-20, -6.5, 0). */
static bool read_level(const char* v, double lo, double hi, double* out)
{
    const bool negative = *v == '-';
    const char* digits = v + negative;
    const char* dot = strchr(digits, '.');
    uint64_t whole, part = 0, scale = 1;
    if (!read_decimal(digits, dot ? (size_t)(dot - digits) : strlen(digits), 2, &whole))
        return false;
    if (dot) {
        const size_t places = strlen(dot + 1);
        if (!read_decimal(dot + 1, places, 2, &part))
            return false;
        scale = places == 1 ? 10 : 100;
    }
    const double level = (negative ? -1.0 : 1.0) * ((double)whole + (double)part / (double)scale);
    if (level > hi || level < lo)
        return false;
    *out = level;
    return true;
}

/* dBFS: min_tone_dbfs to 0. */
static bool set_tone_level(parse_state* s, const char* v)
{
    s->has_tone_level = true;
    return read_level(v, min_tone_dbfs, 0, &s->o->tone_level);
}

enum { max_fade_ms = 10000, min_music_lufs = -40, max_music_lufs = -6 };

static bool set_music(parse_state* s, const char* v)
{
    s->o->doc.sound.music = v;
    return *v != '\0';
}

static void music_option(parse_state* s, const char* name)
{
    if (!s->music_option)
        s->music_option = name;
}

static bool set_music_start(parse_state* s, const char* v)
{
    unsigned long ms;
    music_option(s, "--music-start");
    if (!read_number(v, 0, UINT32_MAX, &ms))
        return false;
    s->o->doc.sound.music_start_ms = (uint32_t)ms;
    return true;
}

static bool set_music_level(parse_state* s, const char* v)
{
    music_option(s, "--music-level");
    return read_level(v, min_music_lufs, max_music_lufs, &s->o->doc.sound.music_level);
}

static bool set_fade(parse_state* s, const char* v, uint32_t* ms, const char* name)
{
    unsigned long value;
    music_option(s, name);
    if (!read_number(v, 0, max_fade_ms, &value))
        return false;
    *ms = (uint32_t)value;
    return true;
}

static bool set_fade_in(parse_state* s, const char* v)
{
    return set_fade(s, v, &s->o->doc.sound.fade_in_ms, "--fade-in");
}

static bool set_fade_out(parse_state* s, const char* v)
{
    return set_fade(s, v, &s->o->doc.sound.fade_out_ms, "--fade-out");
}

static bool set_no_loop(parse_state* s, const char*)
{
    music_option(s, "--no-loop");
    s->o->doc.sound.loop = false;
    return true;
}

static const option_row rows[] = {
    {110, "pop", 0, NULL, "a sound track, " + num(pop_sample_rate / 1000) + " kHz: a " + num(pop_tone_hz / 1000) +
     " kHz tone for one frame on the \"2\" card\n(AAC in .mp4, FLAC in .mkv, PCM in .mov, Opus in .webm, DIR/audio.wav)", NULL, set_pop,
     "sound.pop"},
    {120, "beep", 0, NULL, "a " + num(pop_tone_hz / 1000) + " kHz tone for one frame at the start of each second of the leader\n(with --pop, one tone where both fall)", NULL, set_beep, "sound.beep"},
    {130, "tone-level", 0, "DBFS", "the peak of the pop and the beeps, " + level_text(min_tone_dbfs) + " to 0 (default " +
     level_text(default_tone_dbfs) + "):\n16-bit sound holds no lower peak to 0.5 dB",
     "--tone-level wants a level from " + level_text(min_tone_dbfs) +
         " to 0 dBFS (-20, -6.5); 16-bit sound holds no lower peak to 0.5 dB",
     set_tone_level, "sound.tone_level"},
    {131, "music", 0, "FILE", "a music bed under the show: any sound file ffmpeg decodes, looped, brought to\n"
     "--music-level, faded in and out, mixed with the pop and the beeps",
     "--music wants a file name", set_music, "sound.music", file_read},
    {132, "music-start", 0, "MS", "where in the music the show starts (default 0)",
     "--music-start wants a whole number of ms (0, 1500)", set_music_start, "sound.music_start_ms"},
    {133, "music-level", 0, "LUFS", "the music's integrated loudness (EBU R128), " + num(-min_music_lufs).insert(0, "-") +
     " to " + num(-max_music_lufs).insert(0, "-") + "\n(default -16); its true peak is held at -1 dBTP",
     "--music-level wants a loudness from " + num(-min_music_lufs).insert(0, "-") + " to " +
     num(-max_music_lufs).insert(0, "-") + " LUFS (-16, -23.5)", set_music_level, "sound.music_level"},
    {134, "fade-in", 0, "MS", "the music fades in over the show's first MS, 0 to " + num(max_fade_ms) + " (default 0)",
     "--fade-in wants a whole number of ms from 0 to " + num(max_fade_ms), set_fade_in, "sound.fade_in_ms"},
    {135, "fade-out", 0, "MS", "the music fades out over the show's last MS, 0 to " + num(max_fade_ms) +
     " (default 2000)", "--fade-out wants a whole number of ms from 0 to " + num(max_fade_ms), set_fade_out,
     "sound.fade_out_ms"},
    {136, "no-loop", 0, NULL, "play music shorter than the show once (silence after it), not over again", NULL,
     set_no_loop, "sound.loop=false"},
};
const option_group sound_options = {rows, sizeof rows / sizeof rows[0]};

check_result check_tones(parse_state* s)
{
    if (s->has_tone_level && !s->o->pop && !s->o->beep)
        return option_fail("--tone-level is for --pop and --beep", NULL);
    return check_next;
}

check_result check_music(parse_state* s)
{
    const capture_options& o = *s->o;
    if (s->music_option && o.doc.sound.music.empty())
        return option_fail(std::string(s->music_option) + " is for --music", NULL);
    // A picture or a contact sheet of a show ending with its music has no
    // sound, but takes the show's length from the music.
    if (!o.doc.sound.music.empty() && o.mode != mode_video && o.mode != mode_frames && !o.doc.timing.closing_music)
        return option_fail("--music is for a video or a directory of frames (or --closing-ms music)", NULL);
    return check_next;
}
