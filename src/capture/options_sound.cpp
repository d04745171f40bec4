/* options_sound.cpp - the options for the sound track: the sync --pop, the
   leader's --beep each second and their --tone-level; and the check that a
   level has a tone to set. Rows and checks as option_table.h sets out. */
#include "option_table.h"
#include "audio_pop.h"
#include "decimal.h"

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

/* A level in dBFS: min_tone_dbfs to 0, with up to two decimals (-20, -6.5, 0). */
static bool set_tone_level(parse_state* s, const char* v)
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
    if (level > 0 || level < min_tone_dbfs)
        return false;
    s->o->tone_level = level;
    s->has_tone_level = true;
    return true;
}

static const option_row rows[] = {
    {110, "pop", 0, NULL, "a sound track, " + num(pop_sample_rate / 1000) + " kHz: a " + num(pop_tone_hz / 1000) +
     " kHz tone for one frame on the \"2\" card\n(AAC, PCM in .mov, Opus in .webm, DIR/audio.wav)", NULL, set_pop, "sound.pop"},
    {120, "beep", 0, NULL, "a " + num(pop_tone_hz / 1000) + " kHz tone for one frame at the start of each second of the leader\n(with --pop, one tone where both fall)", NULL, set_beep, "sound.beep"},
    {130, "tone-level", 0, "DBFS", "the peak of the pop and the beeps, " + level_text(min_tone_dbfs) + " to 0 (default " +
     level_text(default_tone_dbfs) + ")",
     "--tone-level wants a level from " + level_text(min_tone_dbfs) + " to 0 dBFS (-20, -6.5)", set_tone_level,
     "sound.tone_level"},
};
const option_group sound_options = {rows, sizeof rows / sizeof rows[0]};

check_result check_tones(parse_state* s)
{
    if (s->has_tone_level && !s->o->pop && !s->o->beep)
        return option_fail("--tone-level is for --pop and --beep", NULL);
    return check_next;
}
