// How much reply each kind of command needs: a command fails on a short
// reply only when it would read past it, and after a failed send it decodes
// nothing from whatever the phone left behind.
#include "ftm_test_support.h"

#include <cstring>
#include <functional>

namespace {

using namespace ftmtest;
using qmsl_sim::Fault;

struct LengthCase {
    const char* name;
    std::function<unsigned char(QmslHandle)> call;
    Bytes reply;  // the whole reply the phone gives
    unsigned char result;
    std::string lastLine;
};
void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class ReplyLength : public FtmFixture, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(ReplyLength, DecidesOnlyByWhatIsRead) {
    const LengthCase& c = GetParam();
    phone().inject("QLIB_SendSync", {Fault::GivenReply, 0, c.reply});
    EXPECT_EQ(c.call(h), c.result);
    EXPECT_EQ(log().back(), c.lastLine);
}

unsigned char gStatus = 0xEE, gValue = 0xEE;

INSTANTIATE_TEST_SUITE_P(
    Commands, ReplyLength,
    ::testing::Values(
        // Send-only commands read nothing: any reply will do.
        LengthCase{"IrdaHighCurrentEmpty",
                   [](QmslHandle h) {
                       unsigned short e = 0;
                       return KAVOR_FTM_IRDA_HIGH_CURRENT_TEST(h, &e, 100);
                   },
                   {}, 1, "\tKAVOR_FTM_IRDA_HIGH_CURRENT_TEST() - Completed successfully\n"},
        LengthCase{"TracerControlThreeBytes", [](QmslHandle h) { return KAVOR_FTM_TRACER_CONTROL(h, 0, 1); }, {1, 2, 3}, 1,
                   "\tKAVOR_FTM_TRACER_CONTROL(bStatus = 0, bSwitch = 1) - Completed successfully\n"},
        LengthCase{"CameraFlashOneByte",
                   [](QmslHandle h) {
                       unsigned short e = 0;
                       return KAVOR_FTM_TEST_CAMERA_FLASH(h, 1, 2, &e);
                   },
                   {7}, 1, "\tKAVOR_FTM_TEST_CAMERA_FLASH() - Completed successfully\n"},
        // GPIO: the status is the last byte; values are read only after a good one.
        LengthCase{"GpioSetOutStatusOnly", [](QmslHandle h) { return KAVOR_GPIO_SET_OUT(h, 5, 1, &gStatus); }, {0}, 1,
                   "\tKAVOR_GPIO_SET_OUT(iGPIONum = 5, iValue = 1, iStatus = 238) - Completed successfully\n"},
        LengthCase{"GpioSetOutEmpty", [](QmslHandle h) { return KAVOR_GPIO_SET_OUT(h, 5, 1, &gStatus); }, {}, 0,
                   "\tKAVOR_GPIO_SET_OUT(iGPIONum = 5, iValue = 1, iStatus = 238) - error code = 0"},
        LengthCase{"GpioGetOutBadStatusOnly", [](QmslHandle h) { return KAVOR_GPIO_GET_OUT(h, 5, &gValue, &gStatus); },
                   {4}, 0, "\tKAVOR_GPIO_GET_OUT(iGPIONum = 5, iValue = 238, iStatus = 238) - Wrong status = 4"},
        LengthCase{"GpioGetOutValueAndStatus", [](QmslHandle h) { return KAVOR_GPIO_GET_OUT(h, 5, &gValue, &gStatus); },
                   {9, 0}, 1, "\tKAVOR_GPIO_GET_OUT(iGPIONum = 5, iValue = 238, iStatus = 238) - Completed successfully\n"},
        LengthCase{"GpioGetOutNoRoomForTheValue",
                   [](QmslHandle h) { return KAVOR_GPIO_GET_OUT(h, 5, &gValue, &gStatus); }, {0}, 0,
                   "\tKAVOR_GPIO_GET_OUT(iGPIONum = 5, iValue = 238, iStatus = 238) - error code = 0"}),
    [](const ::testing::TestParamInfo<LengthCase>& i) { return std::string(i.param.name); });

class GpioValues : public FtmFixture {
protected:
    void SetUp() override {
        FtmFixture::SetUp();
        gStatus = gValue = 0xEE;
    }
};

TEST_F(GpioValues, AShortGoodReplyGivesTheStatusAndKeepsTheValue) {
    phone().inject("QLIB_SendSync", {Fault::GivenReply, 0, {0}});
    EXPECT_EQ(KAVOR_GPIO_GET_OUT(h, 5, &gValue, &gStatus), 0);
    EXPECT_EQ(gStatus, 0);
    EXPECT_EQ(gValue, 0xEE);
}

TEST_F(GpioValues, TheConfigurationComesFromTheBytesBeforeTheStatus) {
    unsigned char sel = 0, ud = 0, en = 0, dir = 0, st = 9;
    phone().inject("QLIB_SendSync", {Fault::GivenReply, 0, {1, 2, 3, 4, 0}});
    EXPECT_EQ(KAVOR_GPIO_GET_CFG(h, 8, &sel, &ud, &en, &dir, &st), 1);
    EXPECT_EQ((Bytes{sel, ud, en, dir, st}), (Bytes{1, 2, 3, 4, 0}));
}

// A failed send that leaves a whole reply behind.
Bytes fmReply(std::uint8_t status) {
    Bytes b(111, 0);
    b[10] = status;
    b[13] = 1;
    b[14] = 2;
    b[15] = 0x34;
    b[16] = 0x12;
    return b;
}

TEST_F(FtmFixture, FmRadioBlocksDecodeNothingAfterAFailedSend) {
    unsigned char status = 0xEE, kind = 0xEE, count = 0xEE, a = 0xEE, c = 0xEE, d = 0xEE;
    unsigned short list[48] = {}, b = 0xEEEE, pa = 0xEEEE;
    char text[96] = "keep";
    unsigned char f = 0xEE, g = 0xEE, hh = 0xEE, i = 0xEE, pb = 0xEE, pc = 0xEE, pd = 0xEE;
    unsigned short e = 0xEEEE, j = 0xEEEE;

    phone().inject("QLIB_SendSync", {Fault::FailedReply, 0, fmReply(0), 0, 3});
    EXPECT_EQ(KAVOR_FTM_FM_RADIO_SCAN_ALL_RF(h, &status, &kind, &count, list), 0);
    EXPECT_EQ(KAVOR_FTM_FM_RADIO_GET_STATION_INFO(h, &status, &a, &b, &c, &d, &e, &f, &g, &hh, &i, &j), 0);
    EXPECT_EQ(KAVOR_FTM_FM_RADIO_GET_PROGRAM_INFO(h, &status, &pa, &pb, text, &pc, &pd), 0);

    EXPECT_EQ((Bytes{status, kind, count, a, c, d, f, g, hh, i, pb, pc, pd}), Bytes(13, 0xEE));
    EXPECT_EQ((std::vector<unsigned short>{b, e, j, pa}), std::vector<unsigned short>(4, 0xEEEE));
    EXPECT_EQ(list[0], 0);
    EXPECT_STREQ(text, "keep");
    EXPECT_EQ(log().back(), "\nKAVOR_FTM_FM_RADIO_GET_STATION_INFO() - SendSync() fail (error code = 0)");
}

TEST_F(FtmFixture, FmRadioBlockWithABadStatusKeepsItsFields) {
    unsigned char status = 0xEE, kind = 0xEE, count = 0xEE;
    unsigned short list[48] = {};
    const Bytes reply = fmReply(6);
    ftm().bodies[{0x8000, 202}] = Bytes(reply.begin() + 10, reply.end());
    EXPECT_EQ(KAVOR_FTM_FM_RADIO_SCAN_ALL_RF(h, &status, &kind, &count, list), 0);
    EXPECT_EQ(status, 6);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(list[0], 0x1234);
}

struct TuneCase {
    const char* name;
    Fault fault;
    unsigned short status;
};
void PrintTo(const TuneCase& c, std::ostream* os) { *os << c.name; }

class TuneAfterFailedSend : public FtmFixture, public ::testing::WithParamInterface<TuneCase> {};

// The status is written even after a failed send: from a whole reply left
// behind, else 0.
TEST_P(TuneAfterFailedSend, WritesItsStatus) {
    unsigned short status = 0xEEEE;
    phone().inject("QLIB_SendSync", GetParam().fault);
    EXPECT_EQ(KAVOR_FTM_TUNE_FM_RADIO(h, 875, &status), 0);
    EXPECT_EQ(status, GetParam().status);
    EXPECT_EQ(log().back().rfind("\tKAVOR_FTM_TUNE_FM_RADIO(iChannel = 875) - SendSync() fail", 0), 0u) << log().back();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TuneAfterFailedSend,
    ::testing::Values(TuneCase{"NoReply", {Fault::NoReply}, 0},
                      TuneCase{"WholeReplyLeft", {Fault::FailedReply, 0, req(28, 2, 12) + Bytes{0x07, 0x00}}, 7},
                      TuneCase{"ShortReplyLeft", {Fault::FailedReply, 0, {0x13, 0x07, 0x00}}, 0}),
    [](const ::testing::TestParamInfo<TuneCase>& i) { return std::string(i.param.name); });

// Three commands ask the phone for fewer reply bytes than they read; a phone
// that answers exactly the size asked makes them fail without reading past
// the reply.
struct AskedCase {
    const char* name;
    std::function<unsigned char(QmslHandle)> call;
    std::function<void(FtmFixture&)> setup;  // makes the reply exactly the size asked
};
void PrintTo(const AskedCase& c, std::ostream* os) { *os << c.name; }

class ExactlyTheSizeAsked : public FtmFixture, public ::testing::WithParamInterface<AskedCase> {
public:
    qmsl_sim::ExtFtmState& state() { return ftm(); }
};

TEST_P(ExactlyTheSizeAsked, IsTooShortForWhatIsRead) {
    const AskedCase& c = GetParam();
    if (c.setup) c.setup(*this);
    EXPECT_EQ(c.call(h), 0);
    EXPECT_NE(log().back().find(" - error code = 0"), std::string::npos) << log().back();
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExactlyTheSizeAsked,
    ::testing::Values(
        AskedCase{"FuelGaugeFallback",
                  [](QmslHandle h) {
                      unsigned char v = 0;
                      return KAVOR_FTM_GET_FUEL_GAUGE_VERSION(h, &v);
                  },
                  [](FtmFixture& f) {
                      auto& t = static_cast<ExactlyTheSizeAsked&>(f);
                      t.state().statuses[{0x8000, 13}] = 5;
                      t.state().bodies[{0x8001, 1342}] = {0, 0};  // 12 bytes in all
                  }},
        AskedCase{"IrdaTxRx",
                  [](QmslHandle h) {
                      unsigned int r1 = 0, r2 = 0;
                      return KAVOR_FTM_TEST_IRDA_TX_RX(h, 1, 0, &r1, &r2);
                  },
                  [](FtmFixture& f) { static_cast<ExactlyTheSizeAsked&>(f).state().bodies[{0x8001, 1354}] = {0, 0}; }},
        AskedCase{"RtcStart",
                  [](QmslHandle h) {
                      unsigned char s = 0;
                      return KAVOR_FTM_RTC_START(h, &s, 30);
                  },
                  [](FtmFixture& f) { static_cast<ExactlyTheSizeAsked&>(f).state().bodies[{0x8000, 213}] = {0, 0, 0}; }}),
    [](const ::testing::TestParamInfo<AskedCase>& i) { return std::string(i.param.name); });

} // namespace
