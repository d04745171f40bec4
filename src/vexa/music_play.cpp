/* music_play.cpp - see music_play.h. The device's thread reads the bed
   (fixed once made) from a position it advances; the show's thread moves
   that position when the show steps or the two drift apart. A move racing
   with a fill wins: the fill's advance is a compare-and-swap. */
#include "music_play.h"
#include "music.h"
#include "show_timeline.h"
#include "sound_out.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static music_bed m_bed;
static std::atomic<uint64_t> m_position;
static bool m_open, m_paused = true;

static void fill(float* out, uint32_t frames)
{
    uint64_t at = m_position.load();
    uint32_t done = 0;
    if (at < m_bed.frames) {
        done = m_bed.frames - at < frames ? (uint32_t)(m_bed.frames - at) : frames;
        memcpy(out, m_bed.samples.data() + at * music_channels, (size_t)done * music_channels * sizeof(float));
    }
    memset(out + (size_t)done * music_channels, 0, (size_t)(frames - done) * music_channels * sizeof(float));
    m_position.compare_exchange_strong(at, at + frames);
}

int music_play_start(const char* program, show_doc* doc, uint32_t show_ms)
{
    if (!doc)
        return 0;
    show_timing& timing = doc->timing;
    if (doc->sound.music.empty()) {
        if (timing.closing_music)
            fprintf(stderr, "%s: \"closing_ms\": \"music\" without a music: the closing lasts %u ms\n", program,
                    (unsigned)timing.closing_ms);
        return 0;
    }
    // A show ending with its music may last the leader and the longest closing.
    const uint32_t want = timing.closing_music ? leader_ms(timing) + closing_max_ms : show_ms;
    music_source src;
    const music_status status = music_decode(program, doc->sound.music, doc->sound.music_start_ms, want, &src);
    if (status == music_no_decoder) {
        fprintf(stderr, "%s: the show plays without its music\n", program);
        return 0;
    }
    if (status != music_ok)
        return 1;
    if (timing.closing_music) {
        timing.closing_ms = closing_for_music(timing, music_length_ms(src));
        show_ms = timeline_for(timing, doc->credits.size()).end_ms;
    }
    music_make_bed(src, doc->sound, show_ms, &m_bed);
    std::string why;
    if (sound_out_open(music_rate, music_channels, fill, &why) != 0) {
        fprintf(stderr, "%s: %s: the show plays without its music\n", program, why.c_str());
        return 0;
    }
    m_open = true;
    m_paused = true;
    // The device's thread stops before the bed goes, however the program ends.
    static bool stop_at_exit = atexit(music_play_stop) == 0;
    (void)stop_at_exit;
    return 0;
}

void music_play_follow(uint32_t t, bool paused)
{
    if (!m_open)
        return;
    // What the listener hears now lies the device's buffer behind the fill.
    const uint64_t want = music_sample_at(t), ahead = sound_out_latency();
    const uint64_t slack = music_sample_at(music_play_slack_ms);
    if (paused != m_paused) {
        m_paused = paused;
        if (paused) {
            sound_out_pause(true);
            return;
        }
        m_position.store(want);
        sound_out_pause(false);
        return;
    }
    if (paused) {
        m_position.store(want);  // a step while paused: ready where the show is
        return;
    }
    const uint64_t heard = m_position.load();
    const uint64_t at = heard > ahead ? heard - ahead : 0;
    if (at + slack < want || at > want + slack)
        m_position.store(want + ahead);
}

uint64_t music_play_position(void)
{
    return m_position.load();
}

bool music_play_playing(void)
{
    return m_open && !m_paused;
}

void music_play_stop(void)
{
    if (m_open)
        sound_out_close();
    m_open = false;
}
