/* pop_wav.cpp - the sound track as a WAV file: the leader's tones alone
   (audio_pop.h) or mixed with the music (sound_track.h). */
#include "audio_pop.h"
#include "output_file.h"
#include "sound_track.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

static void put_le(std::vector<unsigned char>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back((unsigned char)(value >> (8 * i)));
}

int pop_write_wav(const char* path, const pop_track& p)
{
    sound_track s;
    s.tones = p;
    s.total = p.total;
    return sound_write_wav(path, s);
}

int sound_write_wav(const char* path, const sound_track& p)
{
    const uint64_t data_bytes = p.total * 2 * pop_channels;
    if (data_bytes > 0xFFFFFFFFull - 36) {
        fprintf(stderr, "vexa-capture: %s: too long for a WAV file\n", path);
        return 1;
    }
    std::vector<unsigned char> wav;
    wav.reserve(44 + (size_t)data_bytes);
    wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
    put_le(wav, (uint32_t)(36 + data_bytes), 4);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put_le(wav, 16, 4);
    put_le(wav, 1, 2);                    // PCM
    put_le(wav, pop_channels, 2);
    put_le(wav, pop_sample_rate, 4);
    put_le(wav, pop_sample_rate * 2 * pop_channels, 4);  // bytes a second
    put_le(wav, 2 * pop_channels, 2);                    // bytes a sample frame
    put_le(wav, 16, 2);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    put_le(wav, (uint32_t)data_bytes, 4);
    for (uint64_t n = 0; n < p.total; ++n)
        for (uint32_t c = 0; c < pop_channels; ++c)
            put_le(wav, (uint32_t)(int32_t)lrint(sound_sample(p, n, c) * 32767), 2);

    return out_write_whole(path, wav.data(), wav.size());
}
