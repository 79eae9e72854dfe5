// A session that the server killed is opened again by the next call.
#include "data_fixture.h"

namespace {

constexpr const char* kImei = "350000000000011";

// The statement that finds the session killed fails with the lost-session
// code; the next call finds no session, reconnects under the rerun rule and
// succeeds.
TEST_F(DalmireData, AKilledSessionIsHealedByTheNextCall) {
    int code = 0;
    char err[256] = "";
    ASSERT_EQ(varndb_getServiceCode(kImei, &code, err), 0) << err;
    const int pid = sql::session_backend_pid();
    admin.exec("SELECT pg_terminate_backend(" + std::to_string(pid) + ")");
    ASSERT_TRUE(admin.await_session_end(pid));

    EXPECT_EQ(varndb_getServiceCode(kImei, &code, err), -3113);
    EXPECT_EQ(pclock::now_ms(), 0);

    code = 0;
    EXPECT_EQ(varndb_getServiceCode(kImei, &code, err), 0) << err;
    EXPECT_EQ(code, -1);  // no code stored for it
    EXPECT_STREQ(err, "");
    EXPECT_EQ(pclock::now_ms(), 500);  // one rerun
    EXPECT_NE(sql::session_backend_pid(), pid);
    EXPECT_EQ(calls("localc_connect"), 2);
    EXPECT_TRUE(dalmire::state().connected);
}

} // namespace
