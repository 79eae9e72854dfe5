// Every procedure of the step tables: all its calls in order, and a stop
// with false and a kind-0 line at whichever call fails. Each family test
// includes this header and instantiates ProcedureSteps with its table.
#pragma once
#include "procedures_rf_support.h"

namespace {

TEST_P(ProcedureSteps, RunEveryCallInOrder) {
    const StepsCase& c = GetParam();
    EXPECT_EQ(c.run(h), 1);
    EXPECT_EQ(vendorCalls(), c.calls);
    ASSERT_FALSE(log().empty());
    EXPECT_FALSE(endsWith(log().back(), " - Failure\n")) << log().back();
}

TEST_P(ProcedureSteps, StopAtTheCallThatFails) {
    const StepsCase& c = GetParam();
    for (std::size_t i = 0; i < c.calls.size(); ++i) {
        SCOPED_TRACE("failing call " + std::to_string(i) + ": " + c.calls[i]);
        phone().clear_journal();
        phone().clear_faults();
        std::size_t before = 0;
        for (std::size_t j = 0; j < i; ++j) before += c.calls[j] == c.calls[i];
        failAfter(c.calls[i], before);

        EXPECT_EQ(c.run(h), 0);
        std::vector<std::string> expected(c.calls.begin(), c.calls.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        if (i >= c.cleanupFrom) expected.insert(expected.end(), c.cleanup.begin(), c.cleanup.end());
        EXPECT_EQ(vendorCalls(), expected);
        ASSERT_FALSE(log().empty());
        EXPECT_TRUE(endsWith(log().back(), " - Failure\n")) << log().back();
    }
}

} // namespace
