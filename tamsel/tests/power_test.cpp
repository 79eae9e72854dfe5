// The buttons that switch the phone: FTM mode, phone off, and the error
// block they share with the KLF byte.
#include "TamselFixture.h"

#include <functional>

namespace {

constexpr const char* kPhoneOffCall = "_Tessel_SpecialPhoneOff";
constexpr const char* kDisconnectCall = "_Tessel_DisonnectServer";

TEST_F(TamselTest, FtmModeSwitchesThePhoneOfTheComPortOn) {
    ASSERT_EQ(SetCtrlVal(panel_, TAMSEL_CTRL_COM_PORT, 4), 0);
    qmsl_sim::Phone& four = qmsl_sim::phone(4);
    four.set_nv(453, {1});
    four.set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(press(kFtmMode), 0) << statusLine();
    EXPECT_EQ(statusLine(), "FTM mode: done");
    EXPECT_EQ(four.power(), qmsl_sim::Power::Ftm);
    EXPECT_EQ(iComPort, 4);
    EXPECT_TRUE(traced("_Tessel_SpecialMobileOnFtm("));
    EXPECT_TRUE(traced("iTimeout=40000"));
}

// Each press closes the session of the press before, so the library never
// runs out of sessions.
TEST_F(TamselTest, RepeatedFtmModePressesNeverRunOutOfSessions) {
    switchOn();
    for (int press_no = 2; press_no <= 20; ++press_no) {
        ASSERT_EQ(press(kFtmMode), 0) << "press " << press_no << ": " << statusLine();
    }
    EXPECT_EQ(callLines(kDisconnectCall), 19);
    EXPECT_EQ(callLines("_Tessel_close"), 19);
    EXPECT_EQ(press(kSetFtmFlag), 0) << statusLine();
}

TEST_F(TamselTest, PhoneOffSwitchesOffAndDisconnects) {
    switchOn();
    EXPECT_EQ(press(kPhoneOff), 0) << statusLine();
    EXPECT_EQ(statusLine(), "Phone off: done");
    EXPECT_EQ(phone().power(), qmsl_sim::Power::Off);
    EXPECT_EQ(callLines(kPhoneOffCall), 1);
    EXPECT_EQ(callLines(kDisconnectCall), 1);
    // The session is kept but no longer connected.
    EXPECT_EQ(press(kSetFtmFlag), -1);
    // The next FTM-mode press starts again from there.
    EXPECT_EQ(press(kFtmMode), 0) << statusLine();
    EXPECT_EQ(phone().power(), qmsl_sim::Power::Ftm);
}

// A failing step of a switching command runs the error block: one phone-off
// (here failing too), then the disconnect, and -1 with both texts.
struct ErrorBlockCase {
    const char* name;
    int button;
    bool switchOnFirst;
    std::function<void()> failStep;
    int phoneOffCalls;  // the command's own phone-off included
};

void phoneSilent() { TamselTest::phone().inject("QLIB_IsPhoneConnected", qmsl_sim::Fault{}); }

const ErrorBlockCase kErrorBlockCases[] = {
    {"FtmModeConnectFails", kFtmMode, false, [] { TamselTest::phone().present = false; }, 1},
    {"FtmModePowerUpFails", kFtmMode, false,
     [] {
         TamselTest::phone().set_power(qmsl_sim::Power::Off);
         TamselTest::phone().inject("QLIB_SetDTR_State", qmsl_sim::Fault{});
     },
     1},
    {"PhoneOffFails", kPhoneOff, true, phoneSilent, 2},
    {"KlfByteReadFails", kWriteKlfByte, true,
     [] {
         qmsl_sim::ext_ftm(TamselTest::phone()).statuses[{qmsl_sim::kExtFtmGroup, 21}] = 1;
         phoneSilent();
     },
     1},
};

void PrintTo(const ErrorBlockCase& c, std::ostream* os) { *os << c.name; }

class TamselErrorBlock : public TamselTest, public ::testing::WithParamInterface<ErrorBlockCase> {};

TEST_P(TamselErrorBlock, SwitchesOffOnceThenDisconnects) {
    const ErrorBlockCase& c = GetParam();
    if (c.switchOnFirst) switchOn();
    c.failStep();
    EXPECT_EQ(press(c.button), -1);
    EXPECT_EQ(callLines(kPhoneOffCall), c.phoneOffCalls);
    EXPECT_EQ(callLines(kDisconnectCall), 1);
    const std::string status = statusLine();
    EXPECT_NE(status.find("FAILED - "), std::string::npos) << status;
    // The step's text and the failed phone-off's text.
    EXPECT_GE(std::count(status.begin(), status.end(), ';'), 1) << status;
    EXPECT_EQ(press(kSetFtmFlag), -1);  // nothing connected any more
}

INSTANTIATE_TEST_SUITE_P(Tamsel, TamselErrorBlock, ::testing::ValuesIn(kErrorBlockCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
