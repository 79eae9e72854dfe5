// What the session leaves on the server between calls: no transaction after
// a call that changed nothing (the schema's own bookkeeping included), and
// a session that the server killed is opened again by the next call.
#include "data_fixture.h"

#include <cstring>
#include <functional>

namespace {

constexpr const char* kImei = "350000000000011";

std::string sessionState(pgtest::Admin& admin) {
    return admin.value("SELECT state FROM pg_stat_activity WHERE pid = " + std::to_string(sql::session_backend_pid()));
}

struct StateRow {
    const char* name;
    std::function<int()> call;
    int result;
};
void PrintTo(const StateRow& r, std::ostream* os) { *os << r.name; }

class DalmireSessionState : public DalmireData, public ::testing::WithParamInterface<StateRow> {};

TEST_P(DalmireSessionState, IsIdleAfterTheConnectAndAfterTheCall) {
    ASSERT_EQ(sessionState(admin), "idle");  // the registration and the trace switch hold nothing open
    EXPECT_EQ(GetParam().call(), GetParam().result);
    EXPECT_EQ(sessionState(admin), "idle");
}

INSTANTIATE_TEST_SUITE_P(
    Calls, DalmireSessionState,
    ::testing::Values(
        StateRow{"ReadingBootPin",
                 [] {
                     unsigned char buf[256];
                     int len = 256;
                     char err[256];
                     return varndb_getImeiInfo(kImei, buf, &len, err);
                 },
                 100},
        StateRow{"ReadingAMissingFile",
                 [] {
                     char err[256];
                     return varndb_getFile(kImei, "NONE", "/tmp", err);
                 },
                 6},
        StateRow{"ErrorText", [] { return getErrorText(-2).empty() ? 1 : 0; }, 0},
        StateRow{"HandingOutAFlashSerialNumber",
                 [] {
                     unsigned char buf[256];
                     int len = 256;
                     char err[256];
                     return varndb_getFlashSerialNumber(buf, &len, err);
                 },
                 0},
        StateRow{"ServiceCode",
                 [] {
                     int code = 0;
                     char err[256];
                     return varndb_getServiceCode(kImei, &code, err);
                 },
                 0},
        StateRow{"CharServiceCode",
                 [] {
                     char code[101];
                     char err[256];
                     return varndb_getCharServiceCode(kImei, code, err);
                 },
                 -1}),
    [](const auto& info) { return std::string(info.param.name); });

// A number that has left the database stays recorded when the session that
// fetched it dies before any COMMIT.
struct KilledRow {
    const char* name;
    std::function<std::string()> call;  // the number it got
    const char* recorded;               // SQL of the numbers recorded
};
void PrintTo(const KilledRow& r, std::ostream* os) { *os << r.name; }

class RecordAfterKill : public DalmireData, public ::testing::WithParamInterface<KilledRow> {};

TEST_P(RecordAfterKill, StaysWhenTheSessionIsKilled) {
    admin.exec(std::string("INSERT INTO mero.service_code VALUES ('") + kImei + "', '4711')");
    const std::string number = GetParam().call();
    ASSERT_FALSE(number.empty());
    const int pid = sql::session_backend_pid();
    admin.exec("SELECT pg_terminate_backend(" + std::to_string(pid) + ")");
    ASSERT_TRUE(admin.await_session_end(pid));
    EXPECT_EQ(admin.column(GetParam().recorded), std::vector<std::string>{number});
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, RecordAfterKill,
    ::testing::Values(KilledRow{"FlashSerialNumber",
                                [] {
                                    unsigned char buf[16];
                                    int len = 16;
                                    char err[256] = "";
                                    if (varndb_getFlashSerialNumber(buf, &len, err) != 0) return std::string();
                                    return std::string(reinterpret_cast<char*>(buf), static_cast<std::size_t>(len));
                                },
                                "SELECT encode(value, 'escape') FROM mero.flash_serial"},
                      KilledRow{"ServiceCode",
                                [] {
                                    int code = 0;
                                    char err[256] = "";
                                    if (varndb_getServiceCode(kImei, &code, err) != 0) return std::string();
                                    return std::to_string(code);
                                },
                                "SELECT code FROM mero.service_call"}),
    [](const auto& info) { return std::string(info.param.name); });

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
