#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/rtl/scopeexit.h"

// Each way out of a scope: its end, an early return, an exception.
enum class Exit { End, Return, Throw };

class ScopeExitWays : public testing::TestWithParam<Exit> {
protected:
    // Whether the scope returns here; throws where it leaves by an exception.
    static bool LeavesEarly()
    {
        if (GetParam() == Exit::Throw)
            throw std::runtime_error("failed");
        return GetParam() == Exit::Return;
    }
    // Runs Guarded, which leaves its scope the parameter's way; only the Throw way ends in an exception.
    template<typename F> static void Run(F Guarded)
    {
        try {
            Guarded();
        } catch (const std::runtime_error&) {
            EXPECT_EQ(GetParam(), Exit::Throw);
            return;
        }
        EXPECT_NE(GetParam(), Exit::Throw);
    }
};

TEST_P(ScopeExitWays, CleanupRunsOnceAfterTheBody)
{
    std::string trace;
    Run([&] {
        const ScopeExit cleanup([&] { trace += "cleanup;"; });
        trace += "body;";
        if (LeavesEarly())
            return;
        trace += "rest;";
    });
    EXPECT_EQ(trace, GetParam() == Exit::End ? "body;rest;cleanup;" : "body;cleanup;");
}

TEST_P(ScopeExitWays, FlagIsRaisedInsideAndLoweredAfter)
{
    bool inCall = false;
    bool seenInside = false;
    Run([&] {
        const FlagScope guard(inCall);
        seenInside = inCall;
        if (LeavesEarly())
            return;
    });
    EXPECT_TRUE(seenInside);
    EXPECT_FALSE(inCall);
}

INSTANTIATE_TEST_SUITE_P(Ways, ScopeExitWays, testing::Values(Exit::End, Exit::Return, Exit::Throw));
