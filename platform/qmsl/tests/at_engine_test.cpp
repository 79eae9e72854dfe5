// The simulated phone's AT engine: the bytes it answers to a command line,
// with and without echo, from canned replies and its settings, its faults,
// and the switch into OBEX mode.
#include "qmsl_at_sim.h"

#include "pclock.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace std::string_literals;

struct EngineCase {
    const char* name;
    std::function<void(qmsl_sim::AtState&)> setUp;
    std::string request;
    std::optional<std::string> reply;  // none: the send fails after its time-out
};
void PrintTo(const EngineCase& c, std::ostream* os) { *os << c.name; }

// clang-format off
const EngineCase kCases[] = {
    {"PlainOkWithEcho", {}, "AT+CHUP\r\0"s, "AT+CHUP\r\r\nOK"},
    {"LowerCaseIsAtToo", {}, "at+chup\r\0"s, "at+chup\r\r\nOK"},
    {"EchoOff", [](qmsl_sim::AtState& s) { s.echo = false; }, "AT+CHUP\r\0"s, "\r\nOK"},
    {"CannedByExactCommand", [](qmsl_sim::AtState& s) { s.replies["+CVIB?"].lines = {"+CVIB: 1"}; }, "AT+CVIB?\r\0"s, "AT+CVIB?\r\r\n+CVIB: 1\r\n\r\nOK"},
    {"CannedByName", [](qmsl_sim::AtState& s) { s.replies["+CVIB"].lines = {"+CVIB: 16"}; }, "AT+CVIB?\r\0"s, "AT+CVIB?\r\r\n+CVIB: 16\r\n\r\nOK"},
    {"ExactBeforeName", [](qmsl_sim::AtState& s) { s.replies["+CVIB"].result = "ERROR"; s.replies["+CVIB?"] = {}; }, "AT+CVIB?\r\0"s, "AT+CVIB?\r\r\nOK"},
    {"TwoLines", [](qmsl_sim::AtState& s) { s.replies["+CGMI"].lines = {"A", "B"}; }, "AT+CGMI\r\0"s, "AT+CGMI\r\r\nA\r\nB\r\n\r\nOK"},
    {"Error", [](qmsl_sim::AtState& s) { s.replies["+CLVL"].result = "ERROR"; }, "AT+CLVL=3\r\0"s, "AT+CLVL=3\r\r\nERROR"},
    {"OtherText", [](qmsl_sim::AtState& s) { s.replies["+CLVL"].result = "NO CARRIER"; }, "AT+CLVL=3\r\0"s, "AT+CLVL=3\r\r\nNO CARRIER"},
    {"ShortReply", [](qmsl_sim::AtState& s) { s.replies["+CLVL"].cut = 4; }, "AT+CLVL=3\r\0"s, "AT+C"},
    {"NoReply", [](qmsl_sim::AtState& s) { s.replies["+CLVL"].silent = true; }, "AT+CLVL=3\r\0"s, std::nullopt},
    {"StoredSettingAnswersTheQuery", [](qmsl_sim::AtState& s) { s.settings["+CLVL"] = "4"; }, "AT+CLVL?\r\0"s, "AT+CLVL?\r\r\n+CLVL: 4\r\n\r\nOK"},
    {"UnsetQueryHasNoLine", {}, "AT+CLVL?\r\0"s, "AT+CLVL?\r\r\nOK"},
    {"NetworkModeWithoutPrefix", [](qmsl_sim::AtState& s) { s.settings["+WS46"] = "12"; }, "AT+WS46?\r\0"s, "AT+WS46?\r\r\n12\r\n\r\nOK"},
    {"NotAtIsNotAnswered", {}, "XT+CHUP\r\0"s, std::nullopt},
};
// clang-format on

class AtEngine : public ::testing::TestWithParam<EngineCase> {
protected:
    void SetUp() override {
        qmsl_sim::reset();
        pclock::use_virtual_time(0);
        h = QLIB_ConnectServer(3);
    }
    void TearDown() override {
        qmsl_sim::reset();
        pclock::use_real_time();
    }
    std::optional<std::string> send(const std::string& request, unsigned long timeout = 3000) {
        unsigned char buf[4096];
        unsigned short len = sizeof buf;
        const auto* bytes = reinterpret_cast<const unsigned char*>(request.data());
        if (!QLIB_SendRAW(h, static_cast<unsigned short>(request.size()), bytes, &len, buf, timeout)) return std::nullopt;
        return std::string(buf, buf + len);
    }
    qmsl_sim::AtState& state() { return qmsl_sim::at_engine(qmsl_sim::phone(3)); }
    QmslHandle h = 0;
};

TEST_P(AtEngine, Answers) {
    const EngineCase& c = GetParam();
    if (c.setUp) c.setUp(state());
    EXPECT_EQ(send(c.request), c.reply);
}

INSTANTIATE_TEST_SUITE_P(Commands, AtEngine, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtEngine, ASettingIsStoredAndTheCommandRecorded) {
    EXPECT_EQ(send("AT+CCLK=\"05/07/01,13:45:00-04\"\r\0"s), "AT+CCLK=\"05/07/01,13:45:00-04\"\r\r\nOK");
    EXPECT_EQ(state().settings["+CCLK"], "\"05/07/01,13:45:00-04\"");
    EXPECT_EQ(state().commands, std::vector<std::string>{"+CCLK=\"05/07/01,13:45:00-04\""});
}

TEST_F(AtEngine, EchoSwitchesByCommand) {
    EXPECT_EQ(send("ATE0\r\0"s), "ATE0\r\r\nOK");
    EXPECT_EQ(send("AT+CHUP\r\0"s), "\r\nOK");
    EXPECT_EQ(send("ATE1\r\0"s), "\r\nOK");
    EXPECT_EQ(send("AT+CHUP\r\0"s), "AT+CHUP\r\r\nOK");
}

TEST_F(AtEngine, TheObexSwitchSilencesTheEngineWhileTheModeLasts) {
    qmsl_sim::Phone& p = qmsl_sim::phone(3);
    EXPECT_EQ(send("AT^SQWE=3\r\0"s), "AT^SQWE=3\r\r\nOK");
    EXPECT_EQ(p.values["obex_mode"], 1);
    const long long before = pclock::now_ms();
    EXPECT_EQ(send("AT+CHUP\r\0"s, 500), std::nullopt);
    EXPECT_EQ(pclock::now_ms() - before, 500);
    p.values["obex_mode"] = 0;
    EXPECT_EQ(send("AT+CHUP\r\0"s), "AT+CHUP\r\r\nOK");
}

TEST_F(AtEngine, ARefusedObexSwitchKeepsAtMode) {
    state().replies["^SQWE"].result = "ERROR";
    EXPECT_EQ(send("AT^SQWE=3\r\0"s), "AT^SQWE=3\r\r\nERROR");
    EXPECT_EQ(qmsl_sim::phone(3).values["obex_mode"], 0);
}

} // namespace
