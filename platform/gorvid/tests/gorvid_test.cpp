#include "gorvid.h"

#include "export_check.h"

#include "case_runner.h"

#include <gtest/gtest.h>

// The store is the process's, and a case reads it as a fresh process has it.
PHONELINE_CASES_APART(Gorvid);

TEST(Gorvid, SessionsReadAsZeroUntilStored) {
    EXPECT_EQ(GorvidGet_SesTracer(), 0);
    EXPECT_EQ(GorvidGet_SesQuorl(), 0);
}

TEST(Gorvid, HandsBackTheSessionsStoredLastEachInItsOwnSlot) {
    EXPECT_EQ(GorvidPut_SesTracer(7), 0);
    EXPECT_EQ(GorvidGet_SesTracer(), 7);
    EXPECT_EQ(GorvidGet_SesQuorl(), 0);
    EXPECT_EQ(GorvidPut_SesQuorl(1), 0);
    EXPECT_EQ(GorvidPut_SesTracer(9), 0);
    EXPECT_EQ(GorvidGet_SesTracer(), 9);
    EXPECT_EQ(GorvidGet_SesQuorl(), 1);
}

TEST(Gorvid, ExportsExactlyTheStoreCalls) {
    std::set<std::string> expected = {"GorvidPut_SesTracer", "GorvidGet_SesTracer", "GorvidPut_SesQuorl",
                                      "GorvidGet_SesQuorl"};
    EXPECT_EQ(testsupport::exported_symbols(GORVID_LIBRARY_PATH), expected);
}
