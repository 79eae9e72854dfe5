// The shared library exports exactly the operations of its public header.
#include "export_check.h"

#include <gtest/gtest.h>

namespace {

TEST(TesselExports, AreExactlyThePublicOperations) {
    const std::set<std::string> expected = {
        // sessions, init, close, revision and status texts
        "_Tessel_init", "_Tessel_close", "_Tessel_errorMessage", "_Tessel_revisionQuery", "_Tessel_PutDtrState",
        "_Tessel_GetDtrState", "_Tessel_PutUserDefinedTimeoutInitial", "_Tessel_GetUserDefinedTimeoutInitial",
        // tracing and code texts
        "_Tessel_TraceDelay", "_Tessel_KlfGet_cEHwProject", "_Tessel_KlfGet_cFlashID", "_Tessel_KlfGet_cMobileType",
        "_Tessel_KlfGet_cKeyID", "_Tessel_KlfGet_cCamID",
    };
    EXPECT_EQ(testsupport::exported_symbols(TESSEL_LIBRARY_PATH), expected);
}

} // namespace
