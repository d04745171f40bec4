/* sound_fake.cpp - a sound device the test pulls by hand (sound_out.h):
   sound_fake_pull plays frames on the test's own clock; paused, it plays
   silence without asking the fill. */
#include "sound_fake.h"

static sound_fill m_fill;
static bool m_paused = true, m_open;

int sound_out_open(uint32_t, uint32_t, sound_fill fill, std::string* why)
{
    if (sound_fake_missing) {
        *why = "no sound device (the test's)";
        return 1;
    }
    m_fill = fill;
    m_open = true;
    return 0;
}

bool sound_fake_missing;

void sound_out_pause(bool paused)
{
    m_paused = paused;
}

uint32_t sound_out_latency(void)
{
    return sound_fake_buffer;
}

void sound_out_close(void)
{
    m_open = false;
}

std::vector<float> sound_fake_pull(uint32_t frames)
{
    std::vector<float> out(frames * 2, 0.0f);
    if (m_open && !m_paused)
        m_fill(out.data(), frames);
    return out;
}
