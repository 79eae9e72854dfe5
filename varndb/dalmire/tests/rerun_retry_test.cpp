// Recovering the session: the statement rerun rule and varndb_retryConnect,
// on the virtual clock.
#include "dalmire_fixture.h"

#include <vector>

namespace {

constexpr const char* kProbe = "begin :r := mero_test . probe ( ) ; END ;";

sql::Sqlca runProbe(std::int32_t& r) {
    sql::Bind b = sql::bind_int(sql::Dir::out, r);
    return dalmire::runWithRerun(kProbe, std::span<const sql::Bind>(&b, 1));
}

class DalmireRerun : public DalmireDb, public ::testing::WithParamInterface<int> {};

TEST_P(DalmireRerun, TwoFailuresThenSuccessIsThreeRuns) {
    ASSERT_EQ(connect(nullptr), 0);
    admin.exec("SELECT mero_test.inject('probe', " + std::to_string(GetParam()) + ", 2)");
    std::int32_t r = 0;
    auto ca = runProbe(r);
    EXPECT_EQ(ca.sqlcode, 0) << ca.sqlerrm;
    EXPECT_EQ(r, 7);
    EXPECT_EQ(calls("probe"), 3);
    EXPECT_EQ(calls("localc_connect"), 3);  // connect plus one reconnect per rerun
    EXPECT_EQ(pclock::now_ms(), 2 * 500);
    EXPECT_TRUE(dalmire::state().connected);
}

INSTANTIATE_TEST_SUITE_P(Codes, DalmireRerun, ::testing::Values(-4061, -4068, -6508, -1012, -1001),
                         [](const auto& info) { return "Ora" + std::to_string(-info.param); });

TEST_F(DalmireDb, RerunStopsAfterFifteenRuns) {
    ASSERT_EQ(connect(nullptr), 0);
    admin.exec("SELECT mero_test.inject('probe', -4068, -1)");
    std::int32_t r = 0;
    auto ca = runProbe(r);
    EXPECT_EQ(ca.sqlcode, -4068);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(calls("probe"), dalmire::kMaxRuns);
    EXPECT_EQ(pclock::now_ms(), (dalmire::kMaxRuns - 1) * 500);
}

TEST_F(DalmireDb, OtherCodesRunOnce) {
    ASSERT_EQ(connect(nullptr), 0);
    admin.exec("SELECT mero_test.inject('probe', -1400, 1)");
    std::int32_t r = 0;
    EXPECT_EQ(runProbe(r).sqlcode, -1400);
    EXPECT_EQ(calls("probe"), 1);
    EXPECT_EQ(calls("localc_connect"), 1);
    EXPECT_EQ(pclock::now_ms(), 0);
}

TEST_F(DalmireDb, RerunWithoutADatabaseKeepsTrying) {
    // Not connected at all: every run answers -1012, every reconnect fails.
    std::int32_t r = 0;
    EXPECT_EQ(varndb_Connect(user().c_str(), "", "no_such_database", nullptr), VARNDB_E_SESSION);
    EXPECT_EQ(runProbe(r).sqlcode, -1012);
    EXPECT_EQ(pclock::now_ms(), (dalmire::kMaxRuns - 1) * 500);
}

class DalmireRetryCodes : public DalmireDb, public ::testing::WithParamInterface<int> {};

TEST_P(DalmireRetryCodes, ReconnectsInTheFirstRound) {
    ASSERT_EQ(connect(nullptr), 0);
    EXPECT_EQ(varndb_retryConnect(GetParam()), 1);
    EXPECT_EQ(pclock::now_ms(), 1000);
    EXPECT_TRUE(dalmire::state().connected);
    EXPECT_EQ(calls("localc_connect"), 2);
}

INSTANTIATE_TEST_SUITE_P(Codes, DalmireRetryCodes,
                         ::testing::Values(-4061, -4068, -6508, -1012, -1001, -3113, -3114, -12152, -25408, -28),
                         [](const auto& info) { return "Ora" + std::to_string(-info.param); });

class DalmireNoRetry : public DalmireDb, public ::testing::WithParamInterface<int> {};

TEST_P(DalmireNoRetry, ReturnsAtOnce) {
    ASSERT_EQ(connect(nullptr), 0);
    auto before = sql::stats();
    EXPECT_EQ(varndb_retryConnect(GetParam()), 0);
    EXPECT_EQ(pclock::now_ms(), 0);
    EXPECT_EQ(sql::stats().disconnects, before.disconnects);
    EXPECT_TRUE(dalmire::state().connected);
}

INSTANTIATE_TEST_SUITE_P(Codes, DalmireNoRetry, ::testing::Values(0, -1, -942, -4069, 1403),
                         [](const auto& info) {
                             return info.param <= 0 ? "Ora" + std::to_string(-info.param)
                                                    : "Plus" + std::to_string(info.param);
                         });

TEST_F(DalmireDb, RetryWithADatabaseThatStaysAway) {
    const int before = sql::stats().connect_failures;
    EXPECT_EQ(varndb_Connect(user().c_str(), "", "no_such_database", nullptr), VARNDB_E_SESSION);
    // Sample the number of refused connects between the rounds: one attempt
    // after each wait of 1, 1, 4, 9 and 16 s.
    std::vector<int> seen;
    for (pclock::Millis at : {500, 1500, 5000, 10000, 20000})
        pclock::schedule_at(at, [&] { seen.push_back(sql::stats().connect_failures - before); });
    EXPECT_EQ(varndb_retryConnect(-3113), 0);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(sql::stats().connect_failures - before, 6);
    EXPECT_EQ(pclock::now_ms(), 31000);
    EXPECT_FALSE(dalmire::state().connected);
}

TEST_F(DalmireDb, RetryWithADatabaseBackInTheThirdRound) {
    ASSERT_EQ(connect(nullptr), 0);
    admin.exec("DELETE FROM mero.station");
    pclock::schedule_at(5000, [&] { addStation(0); });
    EXPECT_EQ(varndb_retryConnect(-3114), 1);
    EXPECT_EQ(pclock::now_ms(), 1000 + 1000 + 4000);
    EXPECT_EQ(calls("localc_connect"), 4);
    EXPECT_TRUE(dalmire::state().connected);
}

TEST_F(DalmireDb, ConnectionKilledOnTheServerAndRecovered) {
    ASSERT_EQ(connect(nullptr), 0);
    int pid = sql::session_backend_pid();
    admin.exec("SELECT pg_terminate_backend(" + std::to_string(pid) + ")");
    ASSERT_TRUE(admin.await_session_end(pid));
    std::int32_t r = 0;
    auto ca = runProbe(r);
    EXPECT_EQ(ca.sqlcode, -3113) << ca.sqlerrm;  // not a rerun code: the caller decides
    EXPECT_EQ(pclock::now_ms(), 0);
    EXPECT_EQ(varndb_retryConnect(ca.sqlcode), 1);
    EXPECT_NE(sql::session_backend_pid(), pid);
    EXPECT_EQ(runProbe(r).sqlcode, 0);
    EXPECT_EQ(r, 7);
}

TEST_F(DalmireDb, ConnectionDroppedInsideARoutine) {
    ASSERT_EQ(connect(nullptr), 0);
    admin.exec("SELECT mero_test.inject_drop('probe', 1)");
    std::int32_t r = 0;
    auto ca = runProbe(r);
    EXPECT_EQ(ca.sqlcode, -3113) << ca.sqlerrm;
    EXPECT_EQ(varndb_retryConnect(ca.sqlcode), 1);
    EXPECT_EQ(runProbe(r).sqlcode, 0);
    EXPECT_EQ(calls("probe"), 2);
}

} // namespace
