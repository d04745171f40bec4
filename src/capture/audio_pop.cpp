/* audio_pop.cpp - see audio_pop.h. The tone is the same in both forms: a
   cosine of amplitude pop_level, so its first sample is already at its peak
   (a sharp onset to sync by). */
#include "audio_pop.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

static const double pop_level = 0.5;  // of full scale: clearly audible, far from clipping

pop_track pop_track_for(frame_rate rate, uint32_t from, uint32_t to)
{
    pop_track p;
    const uint32_t frames = frame_count(from, to, rate);
    const uint32_t first = frame_count(from, pop_at_ms, rate);  // the first frame at or after it
    p.total = frame_sample(frames, rate, pop_sample_rate);
    p.start = p.end = 0;
    if (from <= pop_at_ms && first < frames) {
        p.start = frame_sample(first, rate, pop_sample_rate);
        p.end = frame_sample(first + 1, rate, pop_sample_rate);
    }
    return p;
}

std::string pop_source(const pop_track& p)
{
    char text[256];
    snprintf(text, sizeof text,
             "aevalsrc=exprs=if(gte(n\\,%llu)*lt(n\\,%llu)\\,%g*cos(2*PI*%u*(n-%llu)/%u)\\,0)"
             ":sample_rate=%u:nb_samples=1024,atrim=end_sample=%llu",
             (unsigned long long)p.start, (unsigned long long)p.end, pop_level, (unsigned)pop_tone_hz,
             (unsigned long long)p.start, (unsigned)pop_sample_rate, (unsigned)pop_sample_rate,
             (unsigned long long)p.total);
    return text;
}

static void put_le(std::vector<unsigned char>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back((unsigned char)(value >> (8 * i)));
}

int pop_write_wav(const char* path, const pop_track& p)
{
    const uint64_t data_bytes = p.total * 2;
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
    put_le(wav, 1, 2);                    // mono
    put_le(wav, pop_sample_rate, 4);
    put_le(wav, pop_sample_rate * 2, 4);  // bytes a second
    put_le(wav, 2, 2);                    // bytes a sample
    put_le(wav, 16, 2);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    put_le(wav, (uint32_t)data_bytes, 4);
    for (uint64_t n = 0; n < p.total; ++n) {
        double v = 0;
        if (n >= p.start && n < p.end)
            v = pop_level * cos(2 * M_PI * pop_tone_hz * (double)(n - p.start) / pop_sample_rate);
        put_le(wav, (uint32_t)(int32_t)lrint(v * 32767), 2);
    }

    std::string temp = std::string(path) + ".XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) {
        fprintf(stderr, "vexa-capture: %s: %s\n", path, strerror(errno));
        return 1;
    }
    fchmod(fd, 0644);
    size_t done = 0;
    int error = 0;
    while (done < wav.size() && !error) {
        const ssize_t n = write(fd, wav.data() + done, wav.size() - done);
        if (n > 0)
            done += (size_t)n;
        else if (!(n < 0 && errno == EINTR))
            error = n < 0 ? errno : EIO;
    }
    if (close(fd) != 0 && !error)
        error = errno;
    if (!error && rename(temp.c_str(), path) != 0)
        error = errno;
    if (!error)
        return 0;
    fprintf(stderr, "vexa-capture: %s: %s\n", path, strerror(error));
    unlink(temp.c_str());
    return 1;
}
