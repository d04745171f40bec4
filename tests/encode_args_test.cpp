/* encode_args_test.cpp - the ffmpeg command lines of vexa-capture's videos:
   each kind's codec, quality and container settings, and the sync pop's
   place when a span starts on it. */
#include "audio_pop.h"
#include "encode_args.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

/* The word after the first `option` in args, or "-" when it is missing. */
std::string after(const std::vector<std::string>& args, const std::string& option)
{
    const auto at = std::find(args.begin(), args.end(), option);
    return at == args.end() || at + 1 == args.end() ? "-" : *(at + 1);
}

TEST(EncodeArgs, EachKindHasItsCodecQualityAndContainer)
{
    const pop_track pop = pop_track_for(frame_rate{30, 1}, 0, 1000, {true, false, default_tone_dbfs});
    struct {
        output_kind kind;
        int crf;
        bool sound;
        const char *codec, *quality, *profile, *audio, *format, *movflags;
    } const cases[] = {
        {kind_mp4, -1, true, "libx264", "18", "-", "aac", "mp4", "+faststart"},
        {kind_mkv, -1, false, "libx264", "18", "-", "-", "matroska", "-"},
        {kind_mkv, -1, true, "libx264", "18", "-", "flac", "matroska", "-"},
        {kind_mp4, 30, false, "libx264", "30", "-", "-", "mp4", "+faststart"},
        {kind_webm, -1, true, "libvpx-vp9", "24", "-", "libopus", "webm", "-"},
        {kind_webm, 63, false, "libvpx-vp9", "63", "-", "-", "webm", "-"},
        {kind_mov, -1, true, "prores_ks", "-", "3", "pcm_s16le", "mov", "+faststart"},
    };
    for (const auto& c : cases) {
        const encode_settings s = {c.kind, 64, 48, {30000, 1001}, c.crf, c.sound ? &pop : NULL, NULL, false};
        const std::vector<std::string> a = encode_args(s, "file:out");
        SCOPED_TRACE(after(a, "-f") + " crf " + std::to_string(c.crf));
        EXPECT_EQ(a.front(), "ffmpeg");
        EXPECT_EQ(a.back(), "file:out");
        EXPECT_EQ(after(a, "-c:v"), c.codec);
        EXPECT_EQ(after(a, "-crf"), c.quality);
        EXPECT_EQ(after(a, "-profile:v"), c.profile);  // 3: ProRes 422 HQ
        EXPECT_EQ(after(a, "-c:a"), c.audio);
        EXPECT_EQ(a[a.size() - 2], c.format);
        EXPECT_EQ(after(a, "-movflags"), c.movflags);
        EXPECT_EQ(after(a, "-framerate"), "30000/1001");
        // The same frames give the same bytes in every container.
        EXPECT_EQ(after(a, "-fflags"), "+bitexact");
        EXPECT_EQ(after(a, "-flags:v"), "+bitexact");
        EXPECT_EQ(after(a, "-flags:a"), c.sound ? "+bitexact" : "-");
    }
}

TEST(EncodeArgs, ThePopIsOnTheFirstFrameAtOrAfterItsTime)
{
    struct {
        uint32_t from, to;
        const char* tones;  // start-end of each, in samples
        uint64_t total;
    } const cases[] = {
        {0, 16000, "144000-145600", 16000 * 48},
        {3000, 4000, "0-1600", 48000},          // a span starting on the pop keeps it
        {2990, 3100, "1600-3200", 4 * 1600},    // frame 1, at 3023 ms
        {3001, 5000, "", 60 * 1600},            // after it: silent
        {1000, 3000, "", 96000},                // ending on it: silent
    };
    for (const auto& c : cases) {
        const pop_track p = pop_track_for(frame_rate{30, 1}, c.from, c.to, {true, false, default_tone_dbfs});
        std::string tones;
        for (const tone_span& t : p.tones)
            tones += (tones.empty() ? "" : " ") + std::to_string(t.start) + "-" + std::to_string(t.end);
        EXPECT_EQ(tones, c.tones) << c.from << " to " << c.to;
        EXPECT_EQ(p.total, c.total) << c.from << " to " << c.to;
    }
}

}  // namespace

namespace {

/* The leader's tones follow the show's timeline: a beep on every count's
   first frame, the pop on the count showing 2, none without a 2 or a leader. */
TEST(pop_track, tones_follow_the_counts)
{
    auto timing = [](int from, int to, uint32_t ms, bool leader) {
        show_timing t;
        t.count_from = from;
        t.count_to = to;
        t.count_ms = ms;
        t.leader = leader;
        return t;
    };
    const struct {
        const char* name;
        show_timing timing;
        bool beep;
        const char* starts;  // each tone's first sample / 48, in ms
    } cases[] = {
        {"classic pop", show_timing(), false, "3000"},
        {"classic beeps", show_timing(), true, "0 1000 2000 3000 4000 5000 6000 7000 8000"},
        {"3 to 1 at 500 ms, pop", timing(3, 1, 500, true), false, "500"},
        {"3 to 1 at 500 ms, beeps", timing(3, 1, 500, true), true, "0 500 1000"},
        {"1 to -2: no 2, no pop", timing(1, -2, 1000, true), false, ""},
        {"no leader", timing(5, -3, 1000, false), true, ""},
    };
    for (const auto& c : cases) {
        const show_timeline tl = timeline_for(c.timing, 0);
        const pop_track p = pop_track_for(frame_rate{50, 1}, 0, tl.end_ms, {true, c.beep, default_tone_dbfs}, tl);
        std::string starts;
        for (const tone_span& t : p.tones)
            starts += (starts.empty() ? "" : " ") + std::to_string(t.start / 48);
        EXPECT_EQ(starts, c.starts) << c.name;
    }
}

}  // namespace
