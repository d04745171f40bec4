/* music_limiter.cpp - see music.h. A look-ahead peak limiter over the whole
   buffer at once (the bed is made before it plays, so the look-ahead costs
   no delay):
     1. each sample's true peak: the larger of the sample and the three
        points 4x oversampling puts before it (a 32-tap Kaiser-windowed sinc
        per phase, flat to 20 kHz, as a true-peak meter interpolates;
        skipped where no point could reach the ceiling), both
        channels linked so the stereo image stays put;
     2. the gain each needs to stay under the ceiling, spread to the sample
        before it (the peak lies between the two);
     3. the least of that over the look-ahead window ahead of each sample,
        then a slow release (the gain recovers with a 100 ms time
        constant), then a moving average as long as the window, which
        ramps the gain down over the window before a peak and never above
        what the peak needs. */
#include "music.h"

#include <cmath>
#include <deque>

enum { oversample = 4, half_taps = 16, lookahead = music_rate * 2 / 1000 };
static const double release_s = 0.1;
/* The interpolator's own error, kept in hand below the ceiling. */
static const double margin_db = 0.1;

static double bessel_i0(double x)
{
    double sum = 1, term = 1;
    for (int k = 1; k < 30; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
    }
    return sum;
}

/* taps[p][k]: the weight of sample m + k - half_taps + 1 for the point
   m + p / oversample. */
static void make_taps(double taps[oversample][2 * half_taps])
{
    const double beta = 8;
    for (int p = 1; p < oversample; ++p)
        for (int k = 0; k < 2 * half_taps; ++k) {
            const double t = (double)p / oversample - (k - half_taps + 1);
            const double sinc = t == 0 ? 1 : sin(M_PI * t) / (M_PI * t);
            const double w = t / half_taps;
            taps[p][k] = std::fabs(w) >= 1 ? 0 : sinc * bessel_i0(beta * sqrt(1 - w * w)) / bessel_i0(beta);
        }
}

void music_limit(float* x, uint64_t frames, double ceiling_db)
{
    const double ceiling = pow(10.0, (ceiling_db - margin_db) / 20);
    static double taps[oversample][2 * half_taps];
    static bool made = false;
    if (!made) {
        make_taps(taps);
        made = true;
    }
    // No interpolated point exceeds the largest sample near it times the
    // largest sum of a phase's weights.
    double reach = 1;
    for (int p = 1; p < oversample; ++p) {
        double sum = 0;
        for (int k = 0; k < 2 * half_taps; ++k)
            sum += std::fabs(taps[p][k]);
        reach = std::fmax(reach, sum);
    }
    // The largest sample of the window each point looks at, a block at a time.
    std::vector<float> block_peak((frames + half_taps - 1) / half_taps + 1, 0.0f);
    for (uint64_t i = 0; i < frames * music_channels; ++i)
        block_peak[i / music_channels / half_taps] =
            std::fmax(block_peak[i / music_channels / half_taps], std::fabs(x[i]));

    // 1, 2: the gain each sample needs (1 where it needs none).
    std::vector<float> need(frames, 1.0f);
    bool any = false;
    // The points from half_taps before the first sample to as many after the
    // last: a sound that starts or stops on a step rings beyond its ends.
    const int64_t count = (int64_t)frames;
    for (int64_t m = -half_taps; m < count + half_taps; ++m) {
        double peak = 0;
        const bool inside = m + 1 >= half_taps && m + half_taps < count;
        if (inside) {
            const uint64_t b = (uint64_t)m / half_taps;
            double near = block_peak[b];
            if (b > 0)
                near = std::fmax(near, block_peak[b - 1]);
            if (b + 1 < block_peak.size())
                near = std::fmax(near, block_peak[b + 1]);
            if (near * reach <= ceiling)
                continue;
        }
        for (uint32_t c = 0; c < music_channels; ++c) {
            if (m >= 0 && m < count)
                peak = std::fmax(peak, std::fabs(x[m * music_channels + c]));
            for (int p = 1; p < oversample; ++p) {
                double v = 0;
                for (int k = 0; k < 2 * half_taps; ++k) {
                    const int64_t i = m + k - half_taps + 1;  // silence beyond the ends
                    if (inside || (i >= 0 && i < count))
                        v += taps[p][k] * x[i * music_channels + c];
                }
                peak = std::fmax(peak, std::fabs(v));
            }
        }
        if (peak > ceiling) {
            // the points after sample m lie between m and m + 1; beyond the
            // ends, the nearest sample carries them
            const float g = (float)(ceiling / peak);
            for (int64_t i : {m, m + 1}) {
                const uint64_t at = (uint64_t)(i < 0 ? 0 : i >= count ? count - 1 : i);
                need[at] = std::fmin(need[at], g);
            }
            any = true;
        }
    }
    if (!any)
        return;
    // 3: the least need over [n, n + lookahead), released, averaged over the window behind.
    const double recover = 1 - exp(-1.0 / (release_s * music_rate));
    std::deque<uint64_t> least;  // indices whose needs rise along the deque
    double released = 1, sum = 0;
    std::vector<float> held(frames);
    for (uint64_t n = 0; n + 1 < frames + lookahead; ++n) {
        if (n < frames) {
            while (!least.empty() && need[least.back()] >= need[n])
                least.pop_back();
            least.push_back(n);
        }
        if (n + 1 < lookahead)
            continue;
        const uint64_t j = n + 1 - lookahead;  // the window [j, n] is complete
        while (least.front() < j)
            least.pop_front();
        released = std::fmin((double)need[least.front()], released + (1 - released) * recover);
        held[j] = (float)released;
    }
    for (uint64_t n = 0; n < frames; ++n) {
        sum += held[n];
        if (n >= lookahead)
            sum -= held[n - lookahead];
        const double window = n + 1 < lookahead ? (double)(n + 1) : (double)lookahead;
        // Before the first full window the average counts the first gain again for what lies before the buffer.
        const double gain = (sum + (lookahead - window) * held[0]) / lookahead;
        for (uint32_t c = 0; c < music_channels; ++c)
            x[n * music_channels + c] = (float)(x[n * music_channels + c] * gain);
    }
}
