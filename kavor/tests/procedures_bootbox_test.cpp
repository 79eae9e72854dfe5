// Box power-on and power-off end to end: the box's DTR works the simulated
// phone's power key through the recording serial driver.
#include "procedures_fixture.h"

namespace {

using qmsl_sim::Power;
using win::Line;
using win_test::Event;
using win_test::LineEvent;

// NV write that answers "done" but keeps nothing: the FTM flag never changes.
void ignoreNvWrites(qmsl_sim::Phone& p) {
    p.set_handler("QLIB_DIAG_NV_WRITE_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set(0, 0);
        return true;
    });
}

struct OnCase {
    const char* name;
    std::function<void(qmsl_sim::Phone&, win_test::LineRecorder&)> arrange;
    unsigned char wanted;
    bool result;
    const char* lastLine;
    std::size_t waitingLines;
    std::size_t resets;
    Power powerAfter;
};
void PrintTo(const OnCase& c, std::ostream* os) { *os << c.name; }

const auto offWithFlag = [](int flag) {
    return [flag](qmsl_sim::Phone& p, win_test::LineRecorder&) {
        if (flag >= 0) p.set_nv(453, {static_cast<std::uint8_t>(flag)});
        p.set_power(Power::Off);
    };
};

const OnCase kOnCases[] = {
    {"OffIntoFtmByReset", offWithFlag(-1), 1, true, "\tQLIB_IsFTM_Mode(pbIsFTMMode = 1) - Completed successfully\n", 8,
     1, Power::Ftm},
    {"OffStartsInFtmByItsFlag", offWithFlag(1), 1, true,
     "\tQLIB_IsFTM_Mode(pbIsFTMMode = 1) - Completed successfully\n", 8, 0, Power::Ftm},
    {"OffIntoOnline", offWithFlag(0), 0, true, "\tQLIB_DIAG_STATUS_F - Completed successfully\n", 8, 0, Power::Online},
    {"AlreadyAnsweringDoesNotWait", [](qmsl_sim::Phone&, win_test::LineRecorder&) {}, 0, true,
     "\tQLIB_DIAG_STATUS_F - Completed successfully\n", 0, 0, Power::Online},
    {"FtmIntoOnlineByReset",
     [](qmsl_sim::Phone& p, win_test::LineRecorder&) {
         p.set_nv(453, {1});
         p.set_power(Power::Ftm);
     },
     0, true, "\tQLIB_DIAG_STATUS_F - Completed successfully\n", 0, 1, Power::Online},
    {"OtherModeIsLeftAsItIs", offWithFlag(-1), 2, true, "\tQLIB_IsFTM_Mode(pbIsFTMMode = 0) - Completed successfully\n",
     8, 0, Power::Online},
    {"AnswersOnTheLastPoll",
     [](qmsl_sim::Phone& p, win_test::LineRecorder&) {
         p.set_power(Power::Off);
         p.boot_ms = 28000;
     },
     2, true, "\tQLIB_IsFTM_Mode(pbIsFTMMode = 0) - Completed successfully\n", 70, 0, Power::Online},
    {"NeverAnswers",
     [](qmsl_sim::Phone& p, win_test::LineRecorder&) {
         p.set_power(Power::Off);
         p.boot_ms = 28001;
     },
     1, false, "\tWaiting for mobile to respond(27600 ms)", 70, 0, Power::Online},
    {"BoxDoesNotOpen",
     [](qmsl_sim::Phone& p, win_test::LineRecorder& r) {
         p.set_power(Power::Off);
         r.fail_open("COM7");
     },
     1, false, "\tSwitchPhoneOn(iBootBoxPort = 7) - Failure\n", 0, 0, Power::Off},
    {"ModeChangeFails",
     [](qmsl_sim::Phone& p, win_test::LineRecorder&) {
         p.set_power(Power::Off);
         p.reset_ms = 100000;
     },
     1, false, "\tKAVOR_ModeChangeResetMobile(1) - Failure\n", 8, 1, Power::Ftm},
    {"FtmNotReached",
     [](qmsl_sim::Phone& p, win_test::LineRecorder&) {
         p.set_power(Power::Off);
         ignoreNvWrites(p);
     },
     1, false, "\tMobile not in FTM mode - Failure\n", 8, 1, Power::Online},
    {"OnlineNotReached",
     [](qmsl_sim::Phone& p, win_test::LineRecorder&) {
         p.set_nv(453, {1});
         p.set_power(Power::Ftm);
         ignoreNvWrites(p);
     },
     0, false, "\tMobile not in Online mode - Failure\n", 0, 1, Power::Ftm},
};

class BoxPowerOn : public ProcedureTest, public ::testing::WithParamInterface<OnCase> {};

TEST_P(BoxPowerOn, SwitchesWaitsAndSetsTheMode) {
    const OnCase& c = GetParam();
    c.arrange(phone(), rec);
    EXPECT_EQ(KAVOR_BootBox_SwitchMobileOn(h, kBoxPort, c.wanted), c.result ? 1 : 0);
    EXPECT_EQ(log().back(), c.lastLine);
    EXPECT_EQ(countLogged("\tWaiting for mobile to respond("), c.waitingLines);
    std::size_t resets = 0;
    for (const auto& call : phone().calls("QLIB_DIAG_CONTROL_F")) resets += call.args == std::vector<long long>{2};
    EXPECT_EQ(resets, c.resets);
    pclock::sleep_ms(200000); // whatever was still under way has finished
    EXPECT_EQ(phone().power(), c.powerAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, BoxPowerOn, ::testing::ValuesIn(kOnCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProcedureTest, PowerOnLogsTheWaitAndTheModeQuery) {
    phone().set_nv(453, {1});
    phone().set_power(Power::Off);
    phone().boot_ms = 1000;
    EXPECT_EQ(KAVOR_BootBox_SwitchMobileOn(h, kBoxPort, 1), 1);
    EXPECT_EQ(log(), (std::vector<std::string>{
                         "\tSwitchPhoneOn(iBootBoxPort = 7) - Completed successfully\n",
                         "\tWaiting for mobile to respond(0 ms)",
                         "\tWaiting for mobile to respond(400 ms)",
                         "\tWaiting for mobile to respond(800 ms)",
                         "\tQLIB_IsFTM_Mode(pbIsFTMMode = 1) - Completed successfully\n",
                         "\tPhone already in correct mode",
                         "\tQLIB_IsFTM_Mode(pbIsFTMMode = 1) - Completed successfully\n",
                     }));
    EXPECT_EQ(pclock::now_ms(), 1200);
    // The box opened with both lines low, then raised DTR: the power key.
    EXPECT_EQ(rec.journal, (std::vector<LineEvent>{{"COM7", Event::Open},
                                                   {"COM7", Event::Dtr, false},
                                                   {"COM7", Event::Rts, false},
                                                   {"COM7", Event::Dtr, false},
                                                   {"COM7", Event::Rts, false},
                                                   {"COM7", Event::Dtr, true}}));
}

TEST_F(ProcedureTest, PowerOnAndOffEndToEnd) {
    phone().set_power(Power::Off);
    ASSERT_EQ(KAVOR_BootBox_SwitchMobileOn(h, kBoxPort, 1), 1);
    ASSERT_EQ(phone().power(), Power::Ftm);
    phone().clear_journal();
    rec.journal.clear();

    const long long start = pclock::now_ms();
    EXPECT_EQ(KAVOR_BootBox_SwitchMobileOff(h, kBoxPort), 1);
    EXPECT_EQ(phone().power(), Power::Off);
    EXPECT_EQ(log(),
              (std::vector<std::string>{
                  "\t\tQLIB_DIAG_NV_READ_F() start",
                  "\tQLIB_DIAG_NV_READ_F - Completed successfully\n",
                  "\tKAVOR_DIAG_NV_READ_F - Completed successfully\n",
                  "\tQLIB_DIAG_CONTROL_F - Completed successfully\n",
                  "\tQLIB_DIAG_STATUS_F - Completed successfully\n",
                  "\tMobile is in Offline mode",
                  "\t\tQLIB_DIAG_NV_WRITE_F() start",
                  "\tQLIB_DIAG_NV_WRITE_F(iItemID = 453, pItemData = <ptr>, iLength = 1) - Completed successfully\n",
                  "\tKAVOR_DIAG_NV_WRITE_F - Completed successfully\n",
                  "\tSwitchPhoneOff - Completed successfully\n",
                  "\tQLIB_DIAG_CONTROL_F - Completed successfully\n",
              }));
    // The flag went back as it was read, so the next start is in FTM again.
    auto writes = phone().calls("QLIB_DIAG_NV_WRITE_F");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].bytes, std::vector<std::uint8_t>{1});
    EXPECT_EQ(nv453(), std::vector<std::uint8_t>{1});
    // DTR dropped before the power-off command; the box stays open.
    EXPECT_EQ(rec.journal, (std::vector<LineEvent>{{"COM7", Event::Dtr, false}}));
    EXPECT_TRUE(rec.is_open("COM7"));
    auto controls = phone().calls("QLIB_DIAG_CONTROL_F");
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[1].args, std::vector<long long>{6});
    // Silent 500 ms after the command: polls every 200 ms, then a last 1 ms.
    EXPECT_EQ(pclock::now_ms() - start, 1 + 3 * 200 + 1);

    // A second power-on boots it again, straight into FTM by its flag.
    phone().clear_journal();
    EXPECT_EQ(KAVOR_BootBox_SwitchMobileOn(h, kBoxPort, 1), 1);
    EXPECT_TRUE(logged("\tPhone already in correct mode"));
    EXPECT_EQ(phone().power(), Power::Ftm);
}

struct OffCase {
    const char* name;
    std::function<void(ProcedureTest&, qmsl_sim::Phone&)> arrange;
    unsigned short port;
    const char* lastLine;
};
void PrintTo(const OffCase& c, std::ostream* os) { *os << c.name; }

class BoxPowerOff : public ProcedureTest, public ::testing::WithParamInterface<OffCase> {
public:
    void boxOn() { ASSERT_TRUE(procedures().box().switchOn(kBoxPort)); }
};

const OffCase kOffCases[] = {
    {"SilentPhone", [](ProcedureTest&, qmsl_sim::Phone& p) { p.set_power(Power::Off); }, 7,
     "\tInvalid handle - Failure\n"},
    {"FlagUnreadable", [](ProcedureTest&, qmsl_sim::Phone&) {}, 7, "\tKAVOR_DIAG_NV_READ_F - Failure\n"},
    {"OfflineCommandFails",
     [](ProcedureTest&, qmsl_sim::Phone& p) {
         p.set_nv(453, {0});
         p.inject("QLIB_DIAG_CONTROL_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
     },
     7, "\tQLIB_DIAG_CONTROL_F - Failure\n"},
    {"NeverOffline",
     [](ProcedureTest&, qmsl_sim::Phone& p) {
         p.set_nv(453, {0});
         p.mode_change_ms = 12000;
     },
     7, "\tMobile not in Offline mode - Failure\n"},
    {"BoxNeverSwitchedOn", [](ProcedureTest&, qmsl_sim::Phone& p) { p.set_nv(453, {0}); }, 7,
     "\tSwitchPhoneOff - Failure\n"},
    {"BoxOnAnotherPort",
     [](ProcedureTest& t, qmsl_sim::Phone& p) {
         p.set_nv(453, {0});
         static_cast<BoxPowerOff&>(t).boxOn();
     },
     8, "\tSwitchPhoneOff - Failure\n"},
    {"StaysOn",
     [](ProcedureTest& t, qmsl_sim::Phone& p) {
         p.set_nv(453, {0});
         p.power_off_ms = 20000;
         static_cast<BoxPowerOff&>(t).boxOn();
     },
     7, "\tMobile is still on - Failure\n"},
};

TEST_P(BoxPowerOff, EndsAtTheFailedStep) {
    GetParam().arrange(*this, phone());
    EXPECT_EQ(KAVOR_BootBox_SwitchMobileOff(h, GetParam().port), 0);
    EXPECT_EQ(log().back(), GetParam().lastLine);
}

INSTANTIATE_TEST_SUITE_P(Failures, BoxPowerOff, ::testing::ValuesIn(kOffCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProcedureTest, PowerOffGivesUpAfterTenSeconds) {
    phone().set_nv(453, {0});
    phone().power_off_ms = 20000;
    ASSERT_TRUE(procedures().box().switchOn(kBoxPort));
    EXPECT_EQ(KAVOR_BootBox_SwitchMobileOff(h, kBoxPort), 0);
    auto controls = phone().calls("QLIB_DIAG_CONTROL_F");
    ASSERT_EQ(controls.size(), 2u);
    // The first poll past the deadline ends it: 1 + 50 * 200 ms later.
    EXPECT_EQ(pclock::now_ms() - controls[1].at_ms, 1 + 50 * 200);
}

} // namespace
