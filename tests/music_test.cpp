/* music_test.cpp - the music bed as sound: its loudness and true peak read
   back with libebur128, the loop's join, the fades' shape, the start
   offset's marker; decoding refusals as a table; the window program's
   player kept in step with show time on a device pulled by hand. */
#include "music.h"
#include "music_play.h"
#include "sound_fake.h"

#include <ebur128.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string>

static music_source tone(double seconds, double hz, double amp, bool ended = true)
{
    music_source s;
    s.frames = (uint64_t)(seconds * music_rate);
    s.ended = ended;
    for (uint64_t n = 0; n < s.frames; ++n) {
        const float v = (float)(amp * sin(2 * M_PI * hz * n / music_rate));
        s.samples.push_back(v);
        s.samples.push_back(v);
    }
    return s;
}

static void measure(const music_bed& bed, double* lufs, double* true_peak_db)
{
    ebur128_state* st = ebur128_init(2, music_rate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    ebur128_add_frames_float(st, bed.samples.data(), bed.frames);
    ebur128_loudness_global(st, lufs);
    double peak = 0, p;
    for (unsigned c = 0; c < 2; ++c) {
        ebur128_true_peak(st, c, &p);
        peak = std::fmax(peak, p);
    }
    *true_peak_db = 20 * log10(peak);
    ebur128_destroy(&st);
}

static show_sound no_fades(double level = -16)
{
    show_sound s;
    s.music = "x";
    s.music_level = level;
    s.fade_in_ms = s.fade_out_ms = 0;
    return s;
}

TEST(music_bed, reaches_the_asked_loudness_under_the_true_peak)
{
    struct {
        const char* what;
        music_source src;
        double level;
        bool limited;  // the limiter must take the peaks down: only the ceiling is checked
    } cases[] = {
        {"quiet tone up", tone(5, 997, 0.01), -16, false},
        {"loud tone down", tone(5, 997, 0.9), -30, false},
        {"tone at the top of the range", tone(5, 440, 0.1), -6, false},
        // 12 kHz at 1/4 of 48 kHz phase-shifted: samples well below the peaks between them
        {"inter-sample peaks", tone(5, 11997, 0.5), -6, true},
    };
    for (auto& c : cases) {
        music_bed bed;
        music_make_bed(c.src, no_fades(c.level), 5000, &bed);
        double lufs, peak;
        measure(bed, &lufs, &peak);
        if (!c.limited) {
            EXPECT_NEAR(lufs, c.level, 0.5) << c.what;
        }
        EXPECT_LE(peak, music_true_peak_db + 0.05) << c.what;
    }
}

TEST(music_bed, loops_without_a_seam_or_plays_once)
{
    // 442 Hz over 0.5 s: 221 whole periods, so a seamless loop is one
    // unbroken tone (and a loop a frame short, at any usual rate, is not).
    const music_source src = tone(0.5, 442, 0.25);
    music_bed bed;
    music_make_bed(src, no_fades(), 2000, &bed);
    double worst = 0, amp = 0;
    for (uint64_t n = 1; n < bed.frames; ++n) {
        worst = std::fmax(worst, std::fabs(bed.samples[2 * n] - bed.samples[2 * (n - 1)]));
        amp = std::fmax(amp, std::fabs(bed.samples[2 * n]));
    }
    EXPECT_GT(amp, 0.01);
    EXPECT_LE(worst, 2 * M_PI * 442 / music_rate * amp * 1.01) << "a click at a join";
    for (uint64_t n : {24000u, 48000u, 72000u})  // each join starts the music again
        for (uint64_t k : {0u, 27u, 500u})
            EXPECT_NEAR(bed.samples[2 * (n + k)], bed.samples[2 * k], 1e-4) << n << " + " << k;

    show_sound once = no_fades();
    once.loop = false;
    music_make_bed(src, once, 2000, &bed);
    double after = 0;
    for (uint64_t n = 24000; n < bed.frames; ++n)
        after = std::fmax(after, std::fabs(bed.samples[2 * n]));
    EXPECT_EQ(after, 0) << "no loop: silence after the music";
}

/* The fade's gain at a show time: the 20 ms RMS there over the bed's RMS unfaded. */
static double gain_at(const music_bed& faded, const music_bed& flat, uint32_t ms)
{
    const uint64_t a = music_sample_at(ms) > 480 ? music_sample_at(ms) - 480 : 0,
                   b = std::min<uint64_t>(music_sample_at(ms) + 480, faded.frames);
    double f = 0, u = 0;
    for (uint64_t n = a; n < b; ++n) {
        f += faded.samples[2 * n] * faded.samples[2 * n];
        u += flat.samples[2 * n] * flat.samples[2 * n];
    }
    return sqrt(f / u);
}

TEST(music_bed, fades_in_and_out_to_silence_at_the_show_end)
{
    const music_source src = tone(16, 1000, 0.1);
    show_sound sound = no_fades();
    music_bed flat, faded;
    music_make_bed(src, sound, 16000, &flat);
    sound.fade_in_ms = 1000;
    sound.fade_out_ms = 2000;  // the default
    music_make_bed(src, sound, 16000, &faded);
    struct { uint32_t ms; double gain; } points[] = {
        {10, 0.01}, {500, 0.5}, {1500, 1}, {13900, 1}, {15000, 0.5}, {15900, 0.05}, {15990, 0.005},
    };
    for (auto& p : points)
        EXPECT_NEAR(gain_at(faded, flat, p.ms), p.gain, 0.015) << p.ms << " ms";
    EXPECT_EQ(faded.samples[2 * (faded.frames - 1)], 0) << "the last sample";
    EXPECT_EQ(faded.samples[0], 0) << "the first sample";
}

/* Decoding: files made with ffmpeg in a directory of the test's own. */
class music_decode_test : public ::testing::Test {
protected:
    std::string dir;
    void SetUp() override
    {
        char tmpl[] = "/tmp/vexa-music-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override { EXPECT_EQ(system(("rm -rf " + dir).c_str()), 0); }
    std::string make(const char* name, const std::string& ffmpeg_args)
    {
        const std::string path = dir + "/" + name;
        const std::string cmd = "ffmpeg -nostdin -v error -y " + ffmpeg_args + " '" + path + "'";
        EXPECT_EQ(system(cmd.c_str()), 0) << cmd;
        return path;
    }
};

TEST_F(music_decode_test, honours_the_start_offset_to_the_sample)
{
    // A click at 1.5 s: started at 1000 ms it is heard 0.5 s into the show.
    const std::string f = make("marker.wav", "-f lavfi -i aevalsrc=exprs='if(eq(n\\,72000)\\,0.9\\,0)':s=48000:d=3");
    music_source src;
    ASSERT_EQ(music_decode("test", f, 1000, 16000, &src), music_ok);
    uint64_t at = 0;
    for (uint64_t n = 0; n < src.frames; ++n)
        if (std::fabs(src.samples[2 * n]) > std::fabs(src.samples[2 * at]))
            at = n;
    EXPECT_EQ(at, 24000u);
    EXPECT_EQ(src.frames, 96000u);
    EXPECT_TRUE(src.ended);
    EXPECT_EQ(music_length_ms(src), 2000u);
}

TEST_F(music_decode_test, takes_what_ffmpeg_decodes_and_refuses_the_rest)
{
    const std::string wav = make("ok.wav", "-f lavfi -i sine=d=4");
    make("long.flac", "-f lavfi -i sine=d=30");
    make("eight.wav", "-f lavfi -i sine=d=2 -ac 8");
    make("low.flac", "-f lavfi -i sine=f=300:d=2:sample_rate=8000");
    make("song.m4a", "-f lavfi -i sine=d=2");
    make("video.mp4", "-f lavfi -i testsrc=d=1");
    make("cut.flac", "-f lavfi -i sine=d=10");
    ASSERT_EQ(0, system(("head -c 40000 " + dir + "/cut.flac > " + dir + "/short.flac; head -c 100000 " + wav + " > " + dir +
            "/short.wav; echo hello > " + dir + "/text.mp3; : > " + dir + "/empty.wav; mkfifo " + dir + "/fifo; " +
            "printf 'ffconcat version 1.0\\nfile ok.wav\\n' > " + dir + "/list.txt")
               .c_str()));
    struct {
        std::string name;
        uint32_t start_ms, want_ms;
        music_status status;
        const char* says;  // in the one line; or the decoded length in ms when accepted
        uint32_t length_ms;
    } cases[] = {
        {"ok.wav", 0, 16000, music_ok, "", 4000},
        {"long.flac", 0, 2000, music_ok, "", 2000},    // read no further than the show
        {"eight.wav", 0, 16000, music_ok, "", 2000},   // downmixed
        {"low.flac", 0, 16000, music_ok, "", 2000},    // resampled
        {"song.m4a", 0, 1000, music_ok, "", 1000},
        {"video.mp4", 0, 16000, music_refused, "has no sound in it", 0},
        {"short.flac", 0, 16000, music_refused, "is truncated", 0},
        {"short.wav", 0, 16000, music_refused, "is truncated", 0},
        {"text.mp3", 0, 16000, music_refused, "is not a sound file ffmpeg can read", 0},
        {"list.txt", 0, 16000, music_refused, "is not a sound file ffmpeg can read", 0},
        {"empty.wav", 0, 16000, music_refused, "is empty", 0},
        {"fifo", 0, 16000, music_refused, "is not a regular file", 0},
        {"missing.wav", 0, 16000, music_refused, "No such file or directory", 0},
        {"ok.wav", 5000, 16000, music_refused, "before the music's start at 5.000 s", 0},
        {"http://example.org/a.mp3", 0, 16000, music_refused, "is a URL, not a file", 0},
        {"concat:ok.wav|ok.wav", 0, 16000, music_refused, "is a URL, not a file", 0},
    };
    for (auto& c : cases) {
        const std::string path = c.name.find(':') != std::string::npos ? c.name : dir + "/" + c.name;
        music_source src;
        testing::internal::CaptureStderr();
        const music_status status = music_decode("test", path, c.start_ms, c.want_ms, &src);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, c.status) << c.name << ": " << said;
        if (c.status == music_ok) {
            EXPECT_EQ(said, "") << c.name;
            EXPECT_NEAR(music_length_ms(src), c.length_ms, 25) << c.name;
            double peak = 0;
            for (float v : src.samples)
                peak = std::fmax(peak, std::fabs(v));
            EXPECT_GT(peak, 0.05) << c.name << ": silent";
        } else {
            EXPECT_EQ(said, "test: " + path + ": " + said.substr(said.find(": ", 6) + 2)) << c.name;
            EXPECT_NE(said.find(c.says), std::string::npos) << c.name << ": " << said;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        }
    }
}

TEST_F(music_decode_test, without_ffmpeg_says_so)
{
    const std::string f = make("ok.wav", "-f lavfi -i sine=d=1");
    const std::string path = getenv("PATH");
    setenv("PATH", dir.c_str(), 1);
    music_source src;
    testing::internal::CaptureStderr();
    const music_status status = music_decode("test", f, 0, 1000, &src);
    const std::string said = testing::internal::GetCapturedStderr();
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(status, music_no_decoder);
    EXPECT_NE(said.find("cannot run ffprobe"), std::string::npos) << said;
}

/* The player: the device pulls a buffer each 1024 frames of its clock; the
   show's frames come every 16 ms of its own. Each pull must hand over the
   bed where the show is (within the slack), through pauses and steps. */
TEST_F(music_decode_test, the_window_player_keeps_to_show_time)
{
    show_doc doc;
    doc.sound.music = make("ramp.wav", "-f lavfi -i aevalsrc=exprs='0.8*(mod(n\\,48000)/48000-0.5)':s=48000:d=8");
    doc.sound.fade_out_ms = 0;
    const uint32_t show_ms = 8000;
    ASSERT_EQ(music_play_start("test", &doc, show_ms), 0);
    music_source src;
    ASSERT_EQ(music_decode("test", doc.sound.music, 0, show_ms, &src), music_ok);
    music_bed bed;
    music_make_bed(src, doc.sound, show_ms, &bed);

    // (show time, paused) from ms on: play, pause at 1000, step to 3000 while
    // paused, play from 5000, a step forward by a second at 6000.
    uint32_t t = 0;
    bool paused = false;
    uint64_t device_clock = 0;  // in frames
    int pulls = 0;
    for (uint32_t wall = 0; wall < 7500; ++wall) {
        if (wall == 1000)
            paused = true;
        if (wall == 2000)
            t = 3000;
        if (wall == 5000)
            paused = false;
        if (wall == 6000)
            t += 1000;
        if (wall % 16 == 0 || wall == 2000 || wall == 1000 || wall == 5000 || wall == 6000)
            music_play_follow(t, paused);
        while (device_clock <= music_sample_at(wall)) {
            const uint64_t at = music_play_position();
            const std::vector<float> got = sound_fake_pull(sound_fake_buffer);
            device_clock += sound_fake_buffer;
            if (paused) {
                EXPECT_EQ(music_play_position(), at) << "paused at " << wall;
                continue;
            }
            ++pulls;
            // What is handed over now is heard a buffer later, when the show is there.
            const double heard_ms = (double)at * 1000 / music_rate, show_then = t + 1024 * 1000.0 / music_rate;
            EXPECT_NEAR(heard_ms, show_then, music_play_slack_ms + 22) << "at wall " << wall;
            ASSERT_LT(at + 1, bed.frames);
            EXPECT_EQ(got[0], bed.samples[2 * at]) << "the bed's own sample, at wall " << wall;
        }
        if (!paused)
            ++t;
    }
    EXPECT_GT(pulls, 150);  // 3.5 s of playing
    music_play_stop();

    // No device: one warning line, and the show goes on (start succeeds).
    sound_fake_missing = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(music_play_start("test", &doc, show_ms), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "test: no sound device (the test's): the show plays without its music\n");
    EXPECT_FALSE(music_play_playing());
    sound_fake_missing = false;
}
