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
