// The reconnect loop: a call answered -100 or one that raises, a server
// that goes away and comes back, one that stays away. All waits are on the
// virtual clock.
#include "corvane_fixture.h"

namespace {

const unsigned char kIn[3] = {1, 2, 3};

class CorvaneReconnect : public CorvaneDb {
public:
    void SetUp() override {
        CorvaneDb::SetUp();
        connectOk();
        ok("reply getData data 0a0b0c");
        ok("reply getData message answer");
    }
    int getData() {
        n = sizeof out;
        return varndb_GetData("C", kIn, 3, out, &n, err);
    }
    unsigned char out[16] = {};
    int n = 0;
    char err[256] = "junk";
};

struct OnceRow {
    const char* name;
    const char* fault;
};
void PrintTo(const OnceRow& r, std::ostream* os) { *os << r.name; }

class CorvaneFailsOnce : public CorvaneReconnect, public ::testing::WithParamInterface<OnceRow> {};

TEST_P(CorvaneFailsOnce, ReconnectsAndCallsAgain) {
    const std::string oldId = varndb_getInstance()->ClientId();
    ASSERT_EQ(ok(GetParam().fault), "ok");
    EXPECT_EQ(getData(), 0);
    EXPECT_EQ(n, 3);
    EXPECT_STREQ(err, "answer");
    EXPECT_EQ(pclock::now_ms(), CORVANE_RETRY_WAIT_MS);  // one retry
    EXPECT_EQ(server.calls("getData").size(), 2u);
    EXPECT_EQ(server.calls("unregister").size(), 2u);  // the old client went
    EXPECT_EQ(server.calls("registration").size(), 1u);  // and a new one came
    EXPECT_EQ(std::stoi(admin.value("SELECT count(*) FROM mero.station_login")), 2);
}

INSTANTIATE_TEST_SUITE_P(Reconnect, CorvaneFailsOnce,
                         ::testing::Values(OnceRow{"AnsweredMinus100", "fault getData result 1 -100"},
                                           OnceRow{"Raises", "fault getData raise 1"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A server that answers -100 hands out no data and a size of 0; the call
// after the reconnect offers the caller's own capacity again.
struct CapacityRow {
    const char* name;
    const char* op;
    int (*call)(unsigned char* buf, int* size, char* err);
};
void PrintTo(const CapacityRow& r, std::ostream* os) { *os << r.name; }

class CorvaneMinus100KeepsTheCapacity : public CorvaneReconnect, public ::testing::WithParamInterface<CapacityRow> {};

TEST_P(CorvaneMinus100KeepsTheCapacity, OnTheSecondCall) {
    const std::string op = GetParam().op;
    ASSERT_EQ(ok("reply " + op + " data 0a0b0c"), "ok");
    ASSERT_EQ(ok("reply " + op + " message answer"), "ok");
    ASSERT_EQ(ok("fault " + op + " result 1 -100"), "ok");
    unsigned char buf[16] = {};
    int size = sizeof buf;
    EXPECT_EQ(GetParam().call(buf, &size, err), 0) << err;
    EXPECT_EQ(size, 3);
    EXPECT_EQ(buf[2], 0x0c);
    EXPECT_STREQ(err, "answer");
    EXPECT_EQ(server.calls(op).size(), 2u);
    EXPECT_EQ(pclock::now_ms(), CORVANE_RETRY_WAIT_MS);
}

INSTANTIATE_TEST_SUITE_P(
    Reconnect, CorvaneMinus100KeepsTheCapacity,
    ::testing::Values(
        CapacityRow{"GetData", "getData",
                    [](unsigned char* b, int* n, char* e) { return varndb_GetData("C", kIn, 3, b, n, e); }},
        CapacityRow{"GetApxData", "getApxData",
                    [](unsigned char* b, int* n, char* e) { return varndb_GetApxData("C", kIn, 3, b, n, e); }},
        CapacityRow{"getImeiInfo", "getImeiInfo",
                    [](unsigned char* b, int* n, char* e) { return varndb_getImeiInfo("490154203237518", b, n, e); }},
        CapacityRow{"getFlashSerialNumber", "getFlashSerialNumber",
                    [](unsigned char* b, int* n, char* e) { return varndb_getFlashSerialNumber(b, n, e); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CorvaneReconnect, AServerThatKeepsAnsweringMinus100GetsOneMoreCall) {
    ok("fault getData result -1 -100");
    EXPECT_EQ(getData(), VARNDB_E_REMOTE_RETRY);
    EXPECT_EQ(pclock::now_ms(), CORVANE_RETRY_WAIT_MS);
    EXPECT_EQ(server.calls("getData").size(), 2u);
}

TEST_F(CorvaneReconnect, AServerThatGoesAwayAndComesBack) {
    server.stop();
    // Back after 35 s, at a new address the database hands out.
    pclock::schedule_after(35000, [this] {
        ASSERT_TRUE(server.start());
        ok("reply getData data 0a0b0c");
        ok("reply getData message answer");
        setReferences(server.ior(), server.ior());
    });
    EXPECT_EQ(getData(), 0);
    EXPECT_STREQ(err, "answer");
    EXPECT_EQ(pclock::now_ms(), 4 * CORVANE_RETRY_WAIT_MS);  // retries at 10, 20, 30 s failed
    EXPECT_EQ(server.calls("registration").size(), 1u);
    EXPECT_EQ(server.calls("getData").size(), 1u);
    EXPECT_NE(varndb_getInstance(), nullptr);
}

TEST_F(CorvaneReconnect, AServerThatStaysAwayEndsNotConnected) {
    server.stop();
    EXPECT_EQ(getData(), VARNDB_E_NOT_CONNECTED);
    EXPECT_STREQ(err, "Not connected to database!");
    EXPECT_EQ(pclock::now_ms(), static_cast<pclock::Millis>(CORVANE_MAX_RETRIES) * CORVANE_RETRY_WAIT_MS);
    EXPECT_EQ(varndb_getInstance(), nullptr);
    // Every retry registered in the database and then failed at the server.
    EXPECT_EQ(std::stoi(admin.value("SELECT count(*) FROM mero.station_login")), 1 + CORVANE_MAX_RETRIES);
}

} // namespace
