#pragma once
// A check whose assertion is a time bound (processor seconds, a latency, a deadline) holds on native
// code only: under emulation (scripts/test sets LYRANT_EMULATED for an emulated suite) the same work
// takes several times longer. The test names the check it leaves out, with its reason, in its output,
// where scripts/test finds it and lists it at the end of the run.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>

inline bool TimeBoundsHold(const char* reason)
{
    const char* emulated = std::getenv("LYRANT_EMULATED");
    if (!emulated || !*emulated)
        return true;
    static const ::testing::TestInfo* named = nullptr;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test && test != named) {
        named = test;
        std::printf("timing-bound: %s.%s: %s\n", test->test_suite_name(), test->name(), reason);
        std::fflush(stdout);
    }
    return false;
}
