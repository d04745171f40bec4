/* exit_guard.cpp - an exit during a test fails the test binary.

   The show ends the process through my_exit, which exits with status 0 at
   the end of the show and on Esc or q. In a test binary such an exit would
   end the run early with status 0 and look like a pass. Linked into every
   test binary on the test kit, this guard turns any exit between the start
   and the end of the test program into status 1 with a line saying so.
   Death tests (EXPECT_EXIT) run their statement in a child process, where
   the exit is what is being tested: the guard stays out of those. */
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool armed;

void exit_during_tests()
{
    if (!armed)
        return;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    fprintf(stderr, "exit_guard: the process exited during %s.%s\n",
            test ? test->test_suite_name() : "the test program", test ? test->name() : "");
    std::_Exit(1);
}

class guard : public ::testing::EmptyTestEventListener {
    void OnTestProgramStart(const ::testing::UnitTest&) override
    {
        armed = ::testing::FLAGS_gtest_internal_run_death_test.empty();
    }
    void OnTestProgramEnd(const ::testing::UnitTest&) override { armed = false; }
};

const bool installed = [] {
    std::atexit(exit_during_tests);
    ::testing::UnitTest::GetInstance()->listeners().Append(new guard);
    return true;
}();

}  // namespace
