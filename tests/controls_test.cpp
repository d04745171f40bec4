/* controls_test.cpp - the show clock and the keys, on a hand-set clock. */
#include "gl_harness.h"
#include "vexa.h"

#include <GL/glut.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <cerrno>
#include <cstdlib>

namespace {

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        gl_open();
        fake_clock_ms = 50000;
        m_lapsetime = 0;  // where show_init leaves it
        m_pause = false;
        init2();  // sleeps a second on the fake clock, starts show time
    }
    void TearDown() override
    {
        if (m_pause)
            keyboard(' ', 0, 0);
    }
    static void wait(uint32_t ms) { fake_clock_ms += ms; }
};

TEST_F(Controls, ShowTimeFollowsTheClockFromZero)
{
    EXPECT_EQ(m_lapsetime, 0u);
    EXPECT_FALSE(m_pause);
    wait(40);
    idle();
    wait(17);
    idle();
    EXPECT_EQ(m_lapsetime, 57u);
}

TEST_F(Controls, WindowSetupFlagsAreThePresenceOfTheVariables)
{
    setenv("VEXA_SHOW_FPS", "", 1);  // empty still counts
    setenv("VEXA_PHOTO", "", 1);
    show_setup setup = window_setup("tex");
    EXPECT_TRUE(setup.show_fps);
    EXPECT_TRUE(setup.photo);
    EXPECT_FALSE(setup.paused);
    EXPECT_EQ(setup.start_ms, 0u);
    unsetenv("VEXA_SHOW_FPS");
    unsetenv("VEXA_PHOTO");
    setup = window_setup("tex");
    EXPECT_FALSE(setup.show_fps);
    EXPECT_FALSE(setup.photo);
}

TEST_F(Controls, SettlingPauseIsNotShowTime)
{
    const uint32_t before = fake_clock_ms;
    init2();
    EXPECT_EQ(fake_clock_ms, before + 1000);  // slept a second on the clock
    EXPECT_EQ(m_prevtime, fake_clock_ms);     // and started counting after it
    EXPECT_EQ(m_lapsetime, 0u);
}

TEST_F(Controls, WorkInsideTheSettlingSecondShortensTheWait)
{
    // {ms spent loading after begin_settling, ms init2 then waits}
    const struct {
        uint32_t loading, waits;
    } cases[] = {{0, 1000}, {300, 700}, {999, 1}, {1000, 0}, {2500, 0}};
    for (const auto& c : cases) {
        begin_settling();
        wait(c.loading);
        const uint32_t before = fake_clock_ms;
        init2();
        EXPECT_EQ(fake_clock_ms - before, c.waits) << c.loading << " ms loading";
        EXPECT_EQ(m_prevtime, fake_clock_ms);
        EXPECT_EQ(m_lapsetime, 0u);
    }
    // The next init2 without begin_settling waits the whole second again.
    const uint32_t before = fake_clock_ms;
    init2();
    EXPECT_EQ(fake_clock_ms - before, 1000u);
}

TEST_F(Controls, WarmUpFrameLeavesTheCounterAndShowTime)
{
    gl_target(64, 48);
    m_show_fps = true;
    m_framecount = 3;
    m_prevsecond = 7;
    m_fps = 25;
    warm_up_frame();
    EXPECT_EQ(m_framecount, 3);
    EXPECT_EQ(m_prevsecond, 7u);
    EXPECT_EQ(m_fps, 25);
    EXPECT_EQ(m_lapsetime, 0u);
    m_show_fps = false;
}

TEST_F(Controls, ClockWrapStillGivesTheElapsedTime)
{
    m_lapsetime = 3000;
    fake_clock_ms = 0xFFFFFF00u;
    m_prevtime = fake_clock_ms;
    fake_clock_ms += 0x200;  // wraps through zero
    idle();
    EXPECT_EQ(m_lapsetime, 3000u + 0x200u);
}

TEST_F(Controls, LongPauseResumesWithoutAJump)
{
    wait(1234);
    idle();
    keyboard(' ', 0, 0);
    EXPECT_TRUE(m_pause);
    wait(10000);  // ten seconds paused: no idle call advances show time
    keyboard(' ', 0, 0);
    EXPECT_FALSE(m_pause);
    EXPECT_EQ(m_lapsetime, 1234u);
    wait(16);
    idle();
    EXPECT_EQ(m_lapsetime, 1250u);
}

TEST_F(Controls, SteppingWhilePausedStaysWhereItLands)
{
    m_lapsetime = 2500;
    keyboard(' ', 0, 0);
    special(GLUT_KEY_RIGHT, 0, 0);
    EXPECT_EQ(m_lapsetime, 3500u);
    special(GLUT_KEY_RIGHT, 0, 0);
    special(GLUT_KEY_RIGHT, 0, 0);
    EXPECT_EQ(m_lapsetime, 5500u);
    wait(5000);
    EXPECT_EQ(m_lapsetime, 5500u);
    keyboard(' ', 0, 0);
    wait(10);
    idle();
    EXPECT_EQ(m_lapsetime, 5510u);
}

TEST_F(Controls, ArrowsStepBySecondsAndTenths)
{
    m_lapsetime = 4000;
    special(GLUT_KEY_DOWN, 0, 0);
    EXPECT_EQ(m_lapsetime, 4100u);
    special(GLUT_KEY_UP, 0, 0);
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(m_lapsetime, 3900u);
    special(GLUT_KEY_LEFT, 0, 0);
    EXPECT_EQ(m_lapsetime, 2900u);
    special(GLUT_KEY_RIGHT, 0, 0);
    EXPECT_EQ(m_lapsetime, 3900u);
}

TEST_F(Controls, SteppingBackStopsAtZero)
{
    m_lapsetime = 999;
    special(GLUT_KEY_LEFT, 0, 0);
    EXPECT_EQ(m_lapsetime, 0u);
    special(GLUT_KEY_LEFT, 0, 0);
    EXPECT_EQ(m_lapsetime, 0u);
    m_lapsetime = 99;
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(m_lapsetime, 0u);
    m_lapsetime = 1000;
    special(GLUT_KEY_LEFT, 0, 0);
    EXPECT_EQ(m_lapsetime, 0u);
    m_lapsetime = 150;
    special(GLUT_KEY_UP, 0, 0);
    EXPECT_EQ(m_lapsetime, 50u);
}

TEST_F(Controls, UnknownKeysAreReportedAndChangeNothing)
{
    m_lapsetime = 777;
    ::testing::internal::CaptureStdout();
    keyboard('Q', 0, 0);  // only lower-case q quits
    keyboard('a', 0, 0);
    special(1, 0, 0);     // F1
    special(112, 0, 0);   // a shift key
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "key: Q(81)\nkey: a(97)\nspecial: 1\nspecial: 112\n");
    EXPECT_EQ(m_lapsetime, 777u);
    EXPECT_FALSE(m_pause);
}

TEST_F(Controls, HighKeyCodesReportAsUnsigned)
{
    ::testing::internal::CaptureStdout();
    keyboard(0xE9, 0, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "key: \xE9(233)\n");
}

/* The exits run in a fresh process of their own ("threadsafe" style), which
   opens its own window: a forked copy would share the parent's X connection
   and the GL driver's threads. */
class ControlsDeathTest : public Controls {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        Controls::SetUp();
    }
};

TEST_F(ControlsDeathTest, EscAndLowerCaseQuitCleanly)
{
    errno = EAGAIN;  // what GLUT and X leave behind must not be reported
    EXPECT_EXIT(keyboard('q', 0, 0), ::testing::ExitedWithCode(0), ::testing::IsEmpty());
    EXPECT_EXIT(keyboard(27, 0, 0), ::testing::ExitedWithCode(0), ::testing::IsEmpty());
}

TEST_F(ControlsDeathTest, FailureExitReportsTheSystemReason)
{
    errno = ENOENT;
    EXPECT_EXIT(my_exit(1), ::testing::ExitedWithCode(1), "^No such file or directory\n$");
    errno = 0;
    EXPECT_EXIT(my_exit(1), ::testing::ExitedWithCode(1), ::testing::IsEmpty());
}

}  // namespace
