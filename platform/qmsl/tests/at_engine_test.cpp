// The simulated phone's AT engine: the bytes it answers to a command line,
// with and without echo, from canned replies and its settings, its faults,
// and the switch into OBEX mode.
#include "qmsl_at_sim.h"

#include "sim_test_support.h"

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

class AtPhone : public qmsl_test::FreshPhonesTest<> {
protected:
    void SetUp() override {
        qmsl_test::freshPhones();
        h = QLIB_ConnectServer(3);
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

class AtEngine : public AtPhone, public ::testing::WithParamInterface<EngineCase> {};

TEST_P(AtEngine, Answers) {
    const EngineCase& c = GetParam();
    if (c.setUp) c.setUp(state());
    EXPECT_EQ(send(c.request), c.reply);
}

INSTANTIATE_TEST_SUITE_P(Commands, AtEngine, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtPhone, ASettingIsStoredAndTheCommandRecorded) {
    EXPECT_EQ(send("AT+CCLK=\"05/07/01,13:45:00-04\"\r\0"s), "AT+CCLK=\"05/07/01,13:45:00-04\"\r\r\nOK");
    EXPECT_EQ(state().settings["+CCLK"], "\"05/07/01,13:45:00-04\"");
    EXPECT_EQ(state().commands, std::vector<std::string>{"+CCLK=\"05/07/01,13:45:00-04\""});
}

TEST_F(AtPhone, EchoSwitchesByCommand) {
    EXPECT_EQ(send("ATE0\r\0"s), "ATE0\r\r\nOK");
    EXPECT_EQ(send("AT+CHUP\r\0"s), "\r\nOK");
    EXPECT_EQ(send("ATE1\r\0"s), "\r\nOK");
    EXPECT_EQ(send("AT+CHUP\r\0"s), "AT+CHUP\r\r\nOK");
}

TEST_F(AtPhone, TheObexSwitchSilencesTheEngineWhileTheModeLasts) {
    qmsl_sim::Phone& p = qmsl_sim::phone(3);
    EXPECT_EQ(send("AT^SQWE=3\r\0"s), "AT^SQWE=3\r\r\nOK");
    EXPECT_EQ(p.values["obex_mode"], 1);
    const long long before = pclock::now_ms();
    EXPECT_EQ(send("AT+CHUP\r\0"s, 500), std::nullopt);
    EXPECT_EQ(pclock::now_ms() - before, 500);
    p.values["obex_mode"] = 0;
    EXPECT_EQ(send("AT+CHUP\r\0"s), "AT+CHUP\r\r\nOK");
}

TEST_F(AtPhone, ARefusedObexSwitchKeepsAtMode) {
    state().replies["^SQWE"].result = "ERROR";
    EXPECT_EQ(send("AT^SQWE=3\r\0"s), "AT^SQWE=3\r\r\nERROR");
    EXPECT_EQ(qmsl_sim::phone(3).values["obex_mode"], 0);
}

} // namespace

namespace {

// --- the stores behind the list and access commands ---

struct StoreCase {
    const char* name;
    std::function<void(qmsl_sim::AtState&)> setUp;
    std::string command;  // after "AT", without CR
    std::string reply;    // without the echo
};
void PrintTo(const StoreCase& c, std::ostream* os) { *os << c.name; }

void twoMessages(qmsl_sim::AtState& s) { s.messages = {{1, 0, "Hello"}, {12, 1, "Hi there"}}; }

// clang-format off
const StoreCase kStores[] = {
    {"MessagesAll", twoMessages, "+CMGL=4", "\r\n+CMGL: 1,0,,5\r\nHello\r\n+CMGL: 12,1,,8\r\nHi there\r\n\r\nOK"},
    {"MessagesByStatus", twoMessages, "+CMGL=1", "\r\n+CMGL: 12,1,,8\r\nHi there\r\n\r\nOK"},
    {"MessagesNone", {}, "+CMGL=4", "\r\nOK"},
    {"MessagesCaret", twoMessages, "^SMGL=0", "\r\n^SMGL: 1,0,,5\r\nHello\r\n\r\nOK"},
    {"OneMessage", twoMessages, "+CMGR=12", "\r\n+CMGR: 1,,8\r\nHi there\r\n\r\nOK"},
    {"OneMessageMissing", twoMessages, "+CMGR=3", "\r\nERROR"},
    {"LockQuery", [](qmsl_sim::AtState& s) { s.locks["SC"] = {{'1', '7'}, {'0', 0}}; }, "+CLCK=\"SC\",2", "\r\n+CLCK: 1,7\r\n+CLCK: 0\r\n\r\nOK"},
    {"LockQueryUnknownFacility", {}, "+CLCK=\"XX\",2", "\r\nERROR"},
    {"ForwardingQueryOnOneLine", [](qmsl_sim::AtState& s) { s.forwarding[0] = {{1, 7, "+491", 145, 20}, {0, 2, "+492", -1, -1}}; },
     "+CCFC=0,2", "\r\n+CCFC: 1,7,\"+491\",145,20,0,2,\"+492\"\r\n\r\nOK"},
    {"ForwardingQueryEmpty", {}, "+CCFC=1,2", "\r\nOK"},
    {"WaitingQuery", [](qmsl_sim::AtState& s) { s.waiting = {{1, 1}, {0, 2}}; }, "+CCWA=1,2", "\r\n+CCWA: 1,1\r\n+CCWA: 0,2\r\n\r\nOK"},
    {"WaitingSet", [](qmsl_sim::AtState& s) { s.waiting = {{1, 1}}; }, "+CCWA=1,1", "\r\nOK"},
    {"Contexts", [](qmsl_sim::AtState& s) { s.contexts = {{1, 1}, {2, 0}}; }, "+CGACT?", "\r\n+CGACT: 1,1\r\n+CGACT: 2,0\r\n\r\nOK"},
    {"SimAnswerWithData", [](qmsl_sim::AtState& s) { s.sim_file = {144, 0, "0A0B"}; }, "+CRSM=176,5,0,0,9", "\r\n+CRSM: 144,0,\"0A0B\"\r\n\r\nOK"},
    {"SimAnswerWithoutData", [](qmsl_sim::AtState& s) { s.sim_file = {106, 130, ""}; }, "+CRSM=176", "\r\n+CRSM: 106,130\r\n\r\nOK"},
};
// clang-format on

class AtStores : public AtPhone {
protected:
    void SetUp() override {
        AtPhone::SetUp();
        state().echo = false;
        state().answer_ms.clear();
    }
};
class AtStoreReplies : public AtStores, public ::testing::WithParamInterface<StoreCase> {};

TEST_P(AtStoreReplies, Answer) {
    const StoreCase& c = GetParam();
    if (c.setUp) c.setUp(state());
    EXPECT_EQ(send("AT" + c.command + "\r\0"s), c.reply);
}

INSTANTIATE_TEST_SUITE_P(Commands, AtStoreReplies, ::testing::ValuesIn(kStores),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtStores, LocksAreSetAndQueried) {
    EXPECT_EQ(send("AT+CLCK=\"SC\",1,1234\r\0"s), "\r\nOK");
    EXPECT_EQ(send("AT+CLCK=\"SC\",2\r\0"s), "\r\n+CLCK: 1\r\n\r\nOK");
    EXPECT_EQ(send("AT^SLCK=\"SC\",0\r\0"s), "\r\nOK");
    EXPECT_EQ(send("AT^SLCK=\"SC\",2\r\0"s), "\r\n^SLCK: 0\r\n\r\nOK");
}

TEST_F(AtStores, ForwardingIsRegisteredAndErased) {
    EXPECT_EQ(send("AT+CCFC=0,3,\"+49123\",1,7,2\r\0"s), "\r\nOK");
    EXPECT_EQ(send("AT+CCFC=0,2\r\0"s), "\r\n+CCFC: 1,7,\"+49123\",1,2\r\n\r\nOK");
    EXPECT_EQ(send("AT+CCFC=0,4\r\0"s), "\r\nOK");
    EXPECT_EQ(send("AT+CCFC=0,2\r\0"s), "\r\nOK");
}

struct TimeCase {
    const char* name;
    std::string request;
    unsigned long timeout;
    long long waited;
    bool answers;
};
void PrintTo(const TimeCase& c, std::ostream* os) { *os << c.name; }

const TimeCase kTimes[] = {
    {"LockSetWithinItsTimeOut", "AT+CLCK=\"SC\",1,1234\r\0"s, 40000, 30000, true},
    {"LockSetPastAShortTimeOut", "AT+CLCK=\"SC\",1,1234\r\0"s, 3000, 3000, false},
    {"LockQueryWithinItsTimeOut", "AT+CLCK=\"SC\",2\r\0"s, 5000, 4000, true},
    {"ForwardingSet", "AT+CCFC=0,3,\"1\"\r\0"s, 25000, 20000, true},
    {"ForwardingQuery", "AT+CCFC=0,2\r\0"s, 10000, 8000, true},
    {"ForwardingQueryPastAShortTimeOut", "AT+CCFC=0,2\r\0"s, 3000, 3000, false},
    {"Waiting", "AT+CCWA=1,2\r\0"s, 20000, 15000, true},
    {"PlainCommandAtOnce", "AT+CHUP\r\0"s, 3000, 0, true},
};

class AtAnswerTimes : public AtPhone, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(AtAnswerTimes, AreTakenOnTheClock) {
    const TimeCase& c = GetParam();
    state().locks["SC"] = {{'0', 0}};
    const long long before = pclock::now_ms();
    EXPECT_EQ(send(c.request, c.timeout).has_value(), c.answers);
    EXPECT_EQ(pclock::now_ms() - before, c.waited);
}

INSTANTIATE_TEST_SUITE_P(Commands, AtAnswerTimes, ::testing::ValuesIn(kTimes),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
