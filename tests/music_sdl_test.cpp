/* music_sdl_test.cpp - the window program's player on SDL2's audio: with no
   sound device, one warning line naming it and the show goes on silent;
   on SDL's dummy driver (a device that plays nothing on a real-time clock)
   the bed plays, a pause holds it, and a step moves it to the show's time. */
#include "music.h"
#include "music_play.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

static std::string make_song(void)
{
    char tmpl[] = "/tmp/vexa-music-sdl-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    const std::string path = dir + "/song.wav";
    EXPECT_EQ(system(("ffmpeg -nostdin -v error -f lavfi -i sine=d=8 '" + path + "'").c_str()), 0);
    return path;
}

static uint64_t wait_past(uint64_t position)
{
    for (int i = 0; i < 500 && music_play_position() <= position; ++i)
        usleep(10000);
    return music_play_position();
}

TEST(music_sdl, plays_on_the_dummy_device_and_warns_without_one)
{
    show_doc doc;
    doc.sound.music = make_song();

    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(music_play_start("vexa", &doc, 8000), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(music_play_playing());
    EXPECT_EQ(said.rfind("vexa: no sound device (", 0), 0u) << said;
    EXPECT_NE(said.find("): the show plays without its music\n"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    music_play_follow(1000, false);  // nothing to follow: no harm

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(music_play_start("vexa", &doc, 8000), 0);
    music_play_follow(0, false);
    EXPECT_TRUE(music_play_playing());
    const uint64_t playing = wait_past(0);
    EXPECT_GT(playing, 0u) << "the device takes the bed";
    music_play_follow(100, true);  // paused: the device holds
    usleep(100000);
    const uint64_t held = music_play_position();
    usleep(200000);
    EXPECT_EQ(music_play_position(), held);
    music_play_follow(5000, true);  // a step while paused
    EXPECT_EQ(music_play_position(), music_sample_at(5000));
    music_play_follow(5000, false);
    EXPECT_GT(wait_past(music_sample_at(5000)), music_sample_at(5000));
    music_play_stop();
    unlink(doc.sound.music.c_str());
    rmdir(doc.sound.music.substr(0, doc.sound.music.rfind('/')).c_str());
}
