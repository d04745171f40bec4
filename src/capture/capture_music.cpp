/* capture_music.cpp - see capture_music.h. */
#include "capture_music.h"
#include "show_timeline.h"

#include <cstdio>

int capture_music_open(capture_options* o, music_source* src)
{
    show_timing& timing = o->doc.timing;
    const std::string& music = o->doc.sound.music;
    if (music.empty()) {
        if (!timing.closing_music)
            return 0;
        fprintf(stderr, "vexa-capture: --closing-ms music (\"closing_ms\": \"music\") wants a music (--music FILE)\n");
        return 2;
    }
    // A show ending with its music may last the leader and the longest closing.
    const uint32_t want = timing.closing_music ? leader_ms(timing) + closing_max_ms : o->timeline.end_ms;
    if (music_decode("vexa-capture", music, o->doc.sound.music_start_ms, want, src) != music_ok)
        return 1;
    if (!timing.closing_music)
        return 0;
    timing.closing_ms = closing_for_music(timing, music_length_ms(*src));
    return capture_settle_timeline(o, true) != 0 ? 2 : 0;
}
