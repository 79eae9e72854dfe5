// The AT channel around its commands: a failed send leaves everything as it
// was, the library mode gates the family, and the commands work against the
// simulated phone's AT engine with and without echo.
#include "at_test_support.h"

#include <cstring>

namespace {

using namespace attest;

class AtChannel : public AtFixture {};

TEST_F(AtChannel, AFailedSendLeavesValuesStatusAndEchoOffset) {
    answer("\r\n+CLVL: 3\r\n\r\nOK");
    unsigned char v = 0;
    unsigned short status = 0;
    ASSERT_EQ(KAVOR_AT_Get_CLVL(h, &v, &status), 1);
    ASSERT_EQ(echoOffset(), -9);

    for (qmsl_sim::Fault::Kind kind : {qmsl_sim::Fault::FalseResult, qmsl_sim::Fault::NoReply}) {
        phone().inject("QLIB_SendRAW", {kind, 0, {}, 0, 1});
        v = 42;
        status = 77;
        EXPECT_EQ(KAVOR_AT_Get_CLVL(h, &v, &status), 0);
        EXPECT_EQ(v, 42);
        EXPECT_EQ(status, 77);
        EXPECT_EQ(echoOffset(), -9);
    }
}

TEST_F(AtChannel, ANoReplyWaitsTheCommandsTimeOutOnTheClock) {
    engine().replies["^SMSO"].silent = true;
    unsigned short status = 77;
    const long long before = pclock::now_ms();
    EXPECT_EQ(KAVOR_AT_Set_SMSO(h, 1, &status), 0);
    EXPECT_EQ(pclock::now_ms() - before, 12000);
    EXPECT_EQ(status, 77);
}

TEST_F(AtChannel, ServerModeSendsAndLogsNothingUntilDirectModeAgain) {
    KAVOR_SetLibraryMode(1);
    unsigned char v = 42;
    unsigned short status = 77;
    EXPECT_EQ(KAVOR_AT_Get_CLVL(h, &v, &status), 0);
    EXPECT_EQ(KAVOR_AT_Set_CLVL(h, 1, &status), 0);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(status, 77);
    EXPECT_TRUE(sends().empty());
    EXPECT_TRUE(log().empty());

    KAVOR_SetLibraryMode(0);
    EXPECT_EQ(KAVOR_AT_Set_CLVL(h, 1, &status), 1);
    EXPECT_EQ(sends().size(), 1u);
}

TEST_F(AtChannel, AnUnknownHandleSendsNothing) {
    unsigned short status = 77;
    EXPECT_EQ(KAVOR_AT_CHUP(h + 1, &status), 0);
    EXPECT_EQ(status, 77);
    EXPECT_TRUE(sends().empty());
}

struct EchoCase {
    const char* name;
    bool echo;
};
void PrintTo(const EchoCase& c, std::ostream* os) { *os << c.name; }

class AtRoundTrip : public AtFixture, public ::testing::WithParamInterface<EchoCase> {
protected:
    void SetUp() override {
        AtFixture::SetUp();
        engine().echo = GetParam().echo;
    }
};

TEST_P(AtRoundTrip, ASettingComesBackFromThePhone) {
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_Set_CLVL(h, 4, &status), 1);
    EXPECT_EQ(status, 0);
    unsigned char level = 0;
    ASSERT_EQ(KAVOR_AT_Get_CLVL(h, &level, &status), 1);
    EXPECT_EQ(level, 4);
    EXPECT_EQ(echoOffset(), GetParam().echo ? 0 : -9);
}

TEST_P(AtRoundTrip, TheClockComesBackWithItsZone) {
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_Set_CCLK(h, 5, 7, 1, 13, 45, 0, -4, &status), 1);
    unsigned char y = 0, mo = 0, d = 0, hh = 0, mi = 0, s = 0;
    signed char zone = 0;
    ASSERT_EQ(KAVOR_AT_Get_CCLK(h, &y, &mo, &d, &hh, &mi, &s, &zone, &status), 1);
    EXPECT_EQ(std::vector<int>({y, mo, d, hh, mi, s, zone}), std::vector<int>({5, 7, 1, 13, 45, 0, -4}));
}

TEST_P(AtRoundTrip, TheVibrationModeComesBackRaw) {
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_Set_CVIB(h, 3, &status), 1);
    unsigned char mode = 0;
    ASSERT_EQ(KAVOR_AT_Get_CVIB(h, &mode, &status), 1);
    EXPECT_EQ(mode, 16);
}

TEST_P(AtRoundTrip, TheNetworkModeComesBackWithoutPrefix) {
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_Set_WS46(h, 12, &status), 1);
    unsigned char mode = 0;
    ASSERT_EQ(KAVOR_AT_Get_WS46(h, &mode, &status), 1);
    EXPECT_EQ(mode, 12);
}

TEST_P(AtRoundTrip, AnErrorAnswerIsStatusOne) {
    engine().replies["+CLVL"].result = "ERROR";
    unsigned short status = 77;
    EXPECT_EQ(KAVOR_AT_Set_CLVL(h, 4, &status), 1);
    EXPECT_EQ(status, 1);
}

INSTANTIATE_TEST_SUITE_P(Echo, AtRoundTrip, ::testing::Values(EchoCase{"Echo", true}, EchoCase{"NoEcho", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AtChannel, TheObexSwitchLeavesTheAtEngineSilent) {
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_2_OBEX(h, &status), 1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(phone().values["obex_mode"], 1);
    status = 77;
    EXPECT_EQ(KAVOR_AT_CHUP(h, &status), 0);
    EXPECT_EQ(status, 77);
}

TEST_F(AtChannel, TheReplyReaderNeverLeavesTheReceivedBytes) {
    answer("\r\n+CR: 1\r\n\r\nOK");  // no echo: places move back by the 7-byte line
    char v = 'x';
    unsigned short status = 77;
    ASSERT_EQ(KAVOR_AT_Get_CR(h, &v, &status), 1);
    EXPECT_EQ(v, '1');
    const kavor::AtChannel& channel = *kavor::context().atChannelFor(h);
    EXPECT_EQ(channel.byteAt(7), '\r');
    EXPECT_EQ(channel.byteAt(6), 0) << "before the first byte";
    EXPECT_EQ(channel.byteAt(7 + 13), 'K');
    EXPECT_EQ(channel.byteAt(7 + 14), 0) << "at the received length";
    EXPECT_EQ(channel.digitAt(-1000), 0);
    EXPECT_EQ(channel.rawByteAt(4096), 0);
}

TEST(AtFamily, HasItsRowsInTheExportTable) {
    int rows = 0;
#define KAVOR_EXPORT(family, name, member, params, args) rows += std::strcmp(#family, "At") == 0;
#include "kavor_exports.inc"
#undef KAVOR_EXPORT
    EXPECT_EQ(rows, 107);
}

} // namespace
