/* sound_track.cpp - see sound_track.h. */
#include "sound_track.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

sound_track sound_track_for(frame_rate rate, uint32_t from, uint32_t to, const tone_marks& marks,
                            const music_bed* music, const show_timeline& timeline)
{
    sound_track s;
    s.tones = pop_track_for(rate, from, to, marks, timeline);
    s.total = s.tones.total;
    s.music = music;
    s.music_from = music_sample_at(from);
    return s;
}

double sound_sample(const sound_track& s, uint64_t n, unsigned channel)
{
    double v = pop_sample(s.tones, n);
    if (s.music && s.music_from + n < s.music->frames)
        v += s.music->samples[(s.music_from + n) * music_channels + channel];
    return v > 1 ? 1 : v < -1 ? -1 : v;
}

int sound_memfd(const sound_track& s, std::string* input)
{
    const int fd = memfd_create("vexa-sound", MFD_CLOEXEC);
    if (fd < 0) {
        fprintf(stderr, "vexa-capture: cannot hold the sound track: %s\n", strerror(errno));
        return -1;
    }
    std::vector<float> block;
    const uint64_t step = 1 << 14;
    for (uint64_t at = 0; at < s.total; at += step) {
        const uint64_t n = s.total - at < step ? s.total - at : step;
        block.resize(n * music_channels);
        for (uint64_t k = 0; k < n; ++k)
            for (unsigned c = 0; c < music_channels; ++c)
                block[k * music_channels + c] = (float)sound_sample(s, at + k, c);
        const char* p = (const char*)block.data();
        size_t left = block.size() * sizeof(float);
        while (left > 0) {
            const ssize_t w = write(fd, p, left);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                fprintf(stderr, "vexa-capture: cannot hold the sound track: %s\n", strerror(errno));
                close(fd);
                return -1;
            }
            p += w;
            left -= (size_t)w;
        }
    }
    *input = "file:/proc/" + std::to_string(getpid()) + "/fd/" + std::to_string(fd);
    return fd;
}
