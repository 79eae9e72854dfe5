#include "qmsl.h"
#include "qmsl_diag.h"
#include "qmsl_sim.h"

#include "sim_test_support.h"

#include "pclock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using qmsl_sim::Fault;

class Stand : public qmsl_test::FreshPhonesTest<> {
protected:
    void SetUp() override {
        qmsl_test::freshPhones();
        // A phone that answers every request with its bytes reversed.
        qmsl_sim::phone(3).add_responder(qmsl_sim::Channel::Sync, [](qmsl_sim::Phone&, const std::vector<std::uint8_t>& r) {
            return std::optional<std::vector<std::uint8_t>>(std::vector<std::uint8_t>(r.rbegin(), r.rend()));
        });
    }
    unsigned char send(QmslHandle h, std::vector<unsigned char> req, std::vector<unsigned char>& reply,
                       unsigned long timeout = 3000) {
        unsigned char buf[64] = {};
        unsigned short len = sizeof buf;
        unsigned char ok = QLIB_SendSync(h, static_cast<unsigned short>(req.size()), req.data(), &len, buf, timeout);
        reply.assign(buf, buf + len);
        return ok;
    }
};

TEST_F(Stand, HandlesAreCountedPerPortAndNeverZeroOrMinusOne) {
    QmslHandle a = QLIB_ConnectServer(3);
    QmslHandle b = QLIB_ConnectServer(3);
    QmslHandle c = QLIB_ConnectServer(4);
    EXPECT_NE(a, 0);
    EXPECT_NE(a, -1);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    QLIB_DisconnectServer(a);
    EXPECT_TRUE(qmsl_sim::is_connected(a));  // one count left
    QLIB_DisconnectServer(a);
    EXPECT_FALSE(qmsl_sim::is_connected(a));
    EXPECT_TRUE(qmsl_sim::is_connected(c));
    QLIB_DisconnectAllServers();
    EXPECT_FALSE(qmsl_sim::is_connected(c));
}

TEST_F(Stand, UnknownOrClosedHandlesFailEverywhere) {
    unsigned char state = 7;
    unsigned short nv = 0;
    unsigned char data[4] = {};
    std::vector<unsigned char> reply;
    for (QmslHandle h : {-1, 0, 12345}) {
        EXPECT_EQ(QLIB_IsPhoneConnected(h), 0);
        EXPECT_EQ(QLIB_DIAG_STATUS_F(h, &state), 0);
        EXPECT_EQ(QLIB_DIAG_NV_READ_F(h, 550, data, 4, &nv), 0);
        EXPECT_EQ(send(h, {1, 2}, reply), 0);
        EXPECT_EQ(QLIB_AddUserMessageToTextLog(h, 2, "x", 0), 0);
        QLIB_DisconnectServer(h);
    }
    EXPECT_EQ(state, 7);
    QmslHandle h = QLIB_ConnectServer(3);
    QLIB_DisconnectServer(h);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 0);
}

TEST_F(Stand, AbsentPhoneAndInjectedConnectFailureGiveZero) {
    qmsl_sim::phone(9).present = false;
    EXPECT_EQ(QLIB_ConnectServer(9), 0);
    qmsl_sim::phone(8).inject("QLIB_ConnectServer", {Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(QLIB_ConnectServer(8), 0);
    EXPECT_NE(QLIB_ConnectServer(8), 0);
}

TEST_F(Stand, VersionTextFollowsTheModeAndCanBeReplaced) {
    char text[QMSL_VERSION_TEXT_MAX];
    QLIB_GetLibraryVersion(text);
    EXPECT_STREQ(text, "QLIB V5.0.40,QPHONEMS");
    QLIB_SetLibraryMode(1);
    QLIB_GetLibraryVersion(text);
    EXPECT_STREQ(text, "QLIB V5.0.40,QPST");
    qmsl_sim::set_version_text("QLIB V5.0.41");
    QLIB_GetLibraryVersion(text);
    EXPECT_STREQ(text, "QLIB V5.0.41");
    qmsl_sim::set_version_text(std::string(100, 'x'));
    QLIB_GetLibraryVersion(text);
    EXPECT_EQ(std::strlen(text), QMSL_VERSION_TEXT_MAX - 1u);
}

TEST_F(Stand, JournalHoldsCallsAndPacketsAndTheTextLogItsLines) {
    QmslHandle h = QLIB_ConnectServer(3);
    std::vector<unsigned char> reply;
    ASSERT_EQ(send(h, {1, 2, 3}, reply), 1);
    EXPECT_EQ(reply, (std::vector<unsigned char>{3, 2, 1}));
    unsigned short st = 9;
    const unsigned char imei[3] = {8, 0x1a, 0x2b};
    QLIB_DIAG_NV_WRITE_F(h, 550, imei, 3, &st);
    QLIB_AddUserMessageToTextLog(h, 2, "first line", 0);

    auto& p = qmsl_sim::phone(3);
    auto packets = p.calls("QLIB_SendSync");
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].bytes, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(packets[0].reply, (std::vector<std::uint8_t>{3, 2, 1}));
    auto writes = p.calls("QLIB_DIAG_NV_WRITE_F");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].args, (std::vector<long long>{550, 3}));
    EXPECT_EQ(writes[0].bytes, (std::vector<std::uint8_t>{8, 0x1a, 0x2b}));
    EXPECT_EQ(p.log_texts(h), std::vector<std::string>{"first line"});
    EXPECT_EQ(p.text_log[0].level, 2u);
}

TEST_F(Stand, TextLogGoesToTheFileOnceLoggingStartsAndFlagsAreOn) {
    QmslHandle h = QLIB_ConnectServer(3);
    std::string file = ::testing::TempDir() + "qmsl_textlog_" + std::to_string(getpid()) + ".txt";
    std::remove(file.c_str());
    QLIB_AddUserMessageToTextLog(h, 2, "before", 0);
    QLIB_StartLogging(h, file.c_str());
    QLIB_AddUserMessageToTextLog(h, 2, "during", 0);
    QLIB_SetLogFlags(h, 0);
    QLIB_AddUserMessageToTextLog(h, 2, "off", 0);
    QLIB_SetLogFlags(h, 2);
    QLIB_AddUserMessageToTextLog(h, 2, "on again", 0);
    FILE* f = std::fopen(file.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char buf[256] = {};
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    std::remove(file.c_str());
    EXPECT_EQ(std::string(buf, n), "during\non again\n");
    EXPECT_EQ(qmsl_sim::phone(3).log_texts().size(), 4u);
}

struct FaultCase {
    const char* name;
    Fault fault;
    unsigned char result;
    std::vector<unsigned char> reply;
    long long elapsed_ms;
};

class PacketFaults : public Stand, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(PacketFaults, ShapeTheExchange) {
    const FaultCase& c = GetParam();
    QmslHandle h = QLIB_ConnectServer(3);
    qmsl_sim::phone(3).inject("QLIB_SendSync", c.fault);
    std::vector<unsigned char> reply;
    const long long start = pclock::now_ms();
    EXPECT_EQ(send(h, {1, 2, 3, 4}, reply, 1000), c.result);
    EXPECT_EQ(reply, c.reply);
    EXPECT_EQ(pclock::now_ms() - start, c.elapsed_ms);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PacketFaults,
    ::testing::Values(FaultCase{"none", {Fault::Delay, 0, {}, 0, 0}, 1, {4, 3, 2, 1}, 0},
                      FaultCase{"false_result", {Fault::FalseResult}, 0, {}, 0},
                      FaultCase{"no_reply", {Fault::NoReply}, 0, {}, 1000},
                      FaultCase{"short_reply", {Fault::ShortReply, 2}, 1, {4, 3}, 0},
                      FaultCase{"given_reply", {Fault::GivenReply, 0, {9, 9}}, 1, {9, 9}, 0},
                      FaultCase{"delay_in_time", {Fault::Delay, 0, {}, 400}, 1, {4, 3, 2, 1}, 400},
                      FaultCase{"delay_past_timeout", {Fault::Delay, 0, {}, 4000}, 0, {}, 1000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Stand, FaultCountsDownAndUnansweredRequestTimesOut) {
    QmslHandle h = QLIB_ConnectServer(3);
    qmsl_sim::phone(3).inject("QLIB_SendSync", {Fault::FalseResult, 0, {}, 0, 2});
    std::vector<unsigned char> reply;
    EXPECT_EQ(send(h, {1}, reply), 0);
    EXPECT_EQ(send(h, {1}, reply), 0);
    EXPECT_EQ(send(h, {1}, reply), 1);

    QmslHandle other = QLIB_ConnectServer(5);  // no responder there
    const long long start = pclock::now_ms();
    EXPECT_EQ(send(other, {1}, reply, 2500), 0);
    EXPECT_EQ(pclock::now_ms() - start, 2500);
}

TEST_F(Stand, TypedCallsFailOnInjectionAndGiveTheOutputsATestSets) {
    QmslHandle h = QLIB_ConnectServer(3);
    auto& p = qmsl_sim::phone(3);
    unsigned char state = 5;
    p.inject("QLIB_DIAG_STATUS_F", {Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(QLIB_DIAG_STATUS_F(h, &state), 0);
    EXPECT_EQ(state, 5);
    EXPECT_EQ(QLIB_DIAG_STATUS_F(h, &state), 1);
    EXPECT_EQ(state, 1);
    p.set_handler("QLIB_DIAG_STATUS_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set(0, 0x42);
        return true;
    });
    EXPECT_EQ(QLIB_DIAG_STATUS_F(h, &state), 1);
    EXPECT_EQ(state, 0x42);
    p.inject("QLIB_DIAG_STATUS_F", {Fault::Delay, 0, {}, 250, 1});
    EXPECT_EQ(QLIB_DIAG_STATUS_F(h, &state), 1);
    EXPECT_EQ(pclock::now_ms(), 250);
}

TEST_F(Stand, NvStoreKeepsItemsAndAnswersTheirStatus) {
    QmslHandle h = QLIB_ConnectServer(3);
    auto& p = qmsl_sim::phone(3);
    unsigned char data[8];
    unsigned short st = 0;
    std::memset(data, 0xee, sizeof data);
    ASSERT_EQ(QLIB_DIAG_NV_READ_F(h, 447, data, 8, &st), 1);
    EXPECT_EQ(st, 5);  // never written
    const unsigned char bd[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(QLIB_DIAG_NV_WRITE_F(h, 447, bd, 6, &st), 1);
    EXPECT_EQ(st, 0);
    ASSERT_EQ(QLIB_DIAG_NV_READ_F(h, 447, data, 8, &st), 1);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(std::vector<unsigned char>(data, data + 8), (std::vector<unsigned char>{1, 2, 3, 4, 5, 6, 0, 0}));
    p.set_nv(85, {'0', '0', '0', '0', '0', '0'}, 7);
    ASSERT_EQ(QLIB_DIAG_NV_WRITE_F(h, 85, bd, 6, &st), 1);
    EXPECT_EQ(st, 7);
    EXPECT_EQ(p.nv[85].data[0], '0');
}

TEST_F(Stand, PowerKeyBootsIntoOnlineOrFtmAsItem453Says) {
    QmslHandle h = QLIB_ConnectServer(3);
    auto& p = qmsl_sim::phone(3);
    unsigned char ftm = 9;
    p.set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 0);
    EXPECT_EQ(QLIB_IsFTM_Mode(h, &ftm), 0);
    QLIB_SetDTR_State(h, 1);
    EXPECT_EQ(p.power(), qmsl_sim::Power::Booting);
    pclock::sleep_ms(2999);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 0);
    pclock::sleep_ms(1);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 1);
    EXPECT_EQ(p.power(), qmsl_sim::Power::Online);

    p.set_nv(453, {1});
    QLIB_SetDTR_State(h, 0);
    p.set_power(qmsl_sim::Power::Off);
    QLIB_SetDTR_State(h, 1);
    pclock::sleep_ms(3000);
    ASSERT_EQ(QLIB_IsFTM_Mode(h, &ftm), 1);
    EXPECT_EQ(ftm, 1);
}

struct ModeCase {
    int mode;
    qmsl_sim::Power after;
};

class ControlModes : public Stand, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ControlModes, MoveTheStateMachine) {
    QmslHandle h = QLIB_ConnectServer(3);
    ASSERT_EQ(QLIB_DIAG_CONTROL_F(h, GetParam().mode), 1);
    pclock::sleep_ms(10000);
    EXPECT_EQ(qmsl_sim::phone(3).power(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Modes, ControlModes,
                         ::testing::Values(ModeCase{0, qmsl_sim::Power::Offline}, ModeCase{1, qmsl_sim::Power::Offline},
                                           ModeCase{2, qmsl_sim::Power::Online}, ModeCase{3, qmsl_sim::Power::Ftm},
                                           ModeCase{4, qmsl_sim::Power::Online}, ModeCase{6, qmsl_sim::Power::Off}),
                         [](const auto& info) { return "mode" + std::to_string(info.param.mode); });

TEST_F(Stand, ResetIsSilentForItsTime) {
    QmslHandle h = QLIB_ConnectServer(3);
    auto& p = qmsl_sim::phone(3);
    p.reset_ms = 4000;
    ASSERT_EQ(QLIB_DIAG_CONTROL_F(h, 2), 1);
    pclock::sleep_ms(3999);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 0);
    pclock::sleep_ms(1);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 1);
}

TEST_F(Stand, CallBacksAreStoredPerHandle) {
    QmslHandle h = QLIB_ConnectServer(3);
    int a, b;
    ASSERT_EQ(QLIB_ConfigureCallBacks(h, &a, &b, nullptr), 1);
    EXPECT_EQ(qmsl_sim::callbacks(h).first, &a);
    EXPECT_EQ(qmsl_sim::callbacks(h).second, &b);
    QLIB_ConfigureCallBacks(h, nullptr, nullptr, nullptr);
    EXPECT_EQ(qmsl_sim::callbacks(h).first, nullptr);
}

} // namespace
