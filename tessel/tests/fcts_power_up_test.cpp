// Switching the phone on into FTM or ONLINE on both DTR lines: in time, late,
// never, with a mode change by reset, and the checks that end the sequence.
#include "TesselPowerFixture.h"

namespace {

using qmsl_sim::Power;

struct UpCase {
    const char* name;
    bool bootFtm;        // the mode NV 453 gives at boot
    int target;          // 3 FTM, 4 ONLINE
    long long boot_ms;   // power key to answering
    int timeout;         // the caller's time-out
    int status;
    const char* text;    // the error text of the result line
    Power after;
    std::size_t resets;  // reset commands sent
};

// Time line: the pulse takes 1 s, the default initial wait 8 s, then polls
// every 0.2 s until the time-out (20 s by default) has passed.
const UpCase kUpCases[] = {
    {"FtmInTime", true, 3, 3000, 0, 0, "OK", Power::Ftm, 0},
    {"OnlineInTime", false, 4, 3000, 0, 0, "OK", Power::Online, 0},
    {"FtmLate", true, 3, 18000, 0, 0, "OK", Power::Ftm, 0},
    {"OnlineLateWithinCallersTimeout", false, 4, 35000, 40000, 0, "OK", Power::Online, 0},
    {"FtmTooLate", true, 3, 25000, 0, TESSEL_ERROR_LIBRARY, "Timeout. Sequence aborted.", Power::Booting, 0},
    {"OnlineNever", false, 4, 1LL << 40, 12000, TESSEL_ERROR_LIBRARY, "Timeout. Sequence aborted.", Power::Booting, 0},
    {"FtmFromOnlineByReset", false, 3, 3000, 0, 0, "OK", Power::Ftm, 1},
    {"OnlineFromFtmByReset", true, 4, 3000, 0, 0, "OK", Power::Online, 1},
};

class PowerUp : public TesselPower, public ::testing::WithParamInterface<std::tuple<DtrPath, UpCase>> {};

TEST_P(PowerUp, SwitchesOnThroughItsLine) {
    const auto& [path, c] = GetParam();
    const int s = sessionOff(path);
    bootsInto(c.bootFtm);
    phone().boot_ms = c.boot_ms;
    const long long t0 = pclock::now_ms();
    const int st = c.target == 3 ? _Tessel_SpecialMobileOnFtm(s, c.timeout, "u.c", 1)
                                 : _Tessel_SpecialMobileOnOnline(s, c.timeout, "u.c", 1);
    EXPECT_EQ(st, c.status);
    EXPECT_NE(resultLine().find(std::string("( cErrMsg=") + c.text + " )"), std::string::npos) << resultLine();
    EXPECT_EQ(phone().power(), c.after);
    EXPECT_EQ(phone().calls("QLIB_DIAG_CONTROL_F").size(), c.resets * 2);  // offline, then reset
    if (path == DtrPath::Box) {
        EXPECT_EQ(boxDtr(), (std::vector<bool>{true, false}));
        EXPECT_TRUE(vendorDtr().empty());
    } else {
        EXPECT_EQ(vendorDtr(), (std::vector<long long>{1, 0}));
        EXPECT_TRUE(boxDtr().empty());
    }
    const long long spent = pclock::now_ms() - t0;
    if (c.status != 0) {
        const long long limit = c.timeout ? c.timeout : 20000;
        EXPECT_GT(spent, limit);
        EXPECT_LE(spent, limit + 200);
        EXPECT_TRUE(hasLine("[TIMEOUT]"));
        EXPECT_FALSE(hasLine("[Time="));
        EXPECT_EQ(slot(s).sPhoneType, 11);  // no detection
    } else {
        EXPECT_TRUE(hasLine("[PING OK]"));
        // The time line comes before the detection, which takes a little more.
        int seconds = -1;
        for (const auto& l : lines())
            if (auto at = l.find("[Time="); at != std::string::npos) seconds = std::stoi(l.substr(at + 6));
        EXPECT_GE(seconds, c.boot_ms / 1000);
        EXPECT_LE(seconds, spent / 1000);
        EXPECT_TRUE(hasLine(c.resets ? "Initiating mode change" : "[No mode change required.]"));
        EXPECT_TRUE(hasLine("[=== Mobile Hardware Detection"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PowerUp, ::testing::Combine(::testing::Values(DtrPath::Vendor, DtrPath::Box),
                                                            ::testing::ValuesIn(kUpCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == DtrPath::Box ? "Box" : "Vendor") +
                                    std::get<1>(info.param).name;
                         });

class PowerUpSteps : public TesselPower {};

TEST_F(PowerUpSteps, PollsAfterTheUserDefinedInitialWait) {
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(true);
    EXPECT_EQ(_Tessel_PutUserDefinedTimeoutInitial(3000, "u.c", 1), 0);
    const long long t0 = pclock::now_ms();
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), 0);
    const auto pings = phone().calls("QLIB_IsPhoneConnected");
    ASSERT_GE(pings.size(), 3u);
    EXPECT_EQ(pings[0].at_ms - t0, 0);     // the wake-up call
    EXPECT_EQ(pings[1].at_ms - t0, 1000);  // after the pulse
    EXPECT_EQ(pings[2].at_ms - t0, 4200);  // after 3.0 s once, then the 0.2 s poll
    EXPECT_TRUE(hasLine("[waiting user defined TIMO_INITIAL...]"));
    EXPECT_FALSE(hasLine("[waiting default TIMO_INITIAL...]"));
}

TEST_F(PowerUpSteps, DefaultInitialWaitIsEightSeconds) {
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(true);
    const long long t0 = pclock::now_ms();
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), 0);
    const auto pings = phone().calls("QLIB_IsPhoneConnected");
    ASSERT_GE(pings.size(), 3u);
    EXPECT_EQ(pings[2].at_ms - t0, 9200);
    EXPECT_TRUE(hasLine("[waiting default TIMO_INITIAL...]"));
}

// The 32-bit tick count wraps 5 s into the sequence: the waits still end on
// time, neither at once nor never.
TEST_F(PowerUpSteps, WaitsSurviveTheWrapOfTheTickCount) {
    pclock::use_virtual_time((1LL << 32) - 5000);
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(true);
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), 0);
    EXPECT_EQ(phone().power(), Power::Ftm);

    phone().set_power(Power::Off);
    phone().boot_ms = 1LL << 40;
    const long long t0 = pclock::now_ms();
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), kLib);
    EXPECT_GT(pclock::now_ms() - t0, 20000);
    EXPECT_LE(pclock::now_ms() - t0, 20200);
}

TEST_F(PowerUpSteps, StoredDtrHighKeepsTheBoxLineHigh) {
    const int s = sessionOff(DtrPath::Box);
    bootsInto(true);
    EXPECT_EQ(_Tessel_PutDtrState(1, "u.c", 1), 0);
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), 0);
    EXPECT_EQ(boxDtr(), std::vector<bool>{true});
    EXPECT_TRUE(box_.line(kBoxPort, win::Line::Dtr));
    EXPECT_TRUE(hasLine("[DTR->keep on high]"));
}

TEST_F(PowerUpSteps, AnUnknownLibraryTypePulsesNoLine) {
    const int s = sessionOff(DtrPath::Box);
    qmsl_sim::set_version_text("QLIB V5.0.40");
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 3000, "u.c", 1), kLib);
    EXPECT_TRUE(boxDtr().empty());
    EXPECT_TRUE(vendorDtr().empty());
    EXPECT_EQ(phone().power(), Power::Off);
    qmsl_sim::set_version_text(std::nullopt);
}

TEST_F(PowerUpSteps, BuildWithoutModeCheckSucceedsAsSoonAsItAnswers) {
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(false);  // online, though FTM is asked for
    phone().profile.build_id = "M6275B-1.2";
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), 0);
    EXPECT_EQ(phone().count("QLIB_DIAG_CONTROL_F"), 0u);
    EXPECT_FALSE(hasLine("[No mode change required.]"));
    EXPECT_EQ(phone().power(), Power::Online);
    EXPECT_TRUE(hasLine("[=== FTM_GET_HW_ID = 12]"));
}

TEST_F(PowerUpSteps, FailedBuildIdCountsAsNoTag) {
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(true);
    phone().profile.build_id = "M6275B";
    phone().inject("QLIB_DIAG_EXT_BUILD_ID_F", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), 0);
    EXPECT_TRUE(hasLine("[No mode change required.]"));  // the mode was checked
}

TEST_F(PowerUpSteps, PhoneThatStaysOnlineAfterTheResetIsNotInFtm) {
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(false);
    phone().set_handler("QLIB_DIAG_NV_WRITE_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set(0, 0);
        return true;  // accepted, but not stored
    });
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), kLib);
    EXPECT_NE(resultLine().find("cErrMsg=Could not switch into FTM mode."), std::string::npos) << resultLine();
    EXPECT_TRUE(hasLine("[ERROR: Phone is not in FTM mode. Aborting sequence.]"));
}

TEST_F(PowerUpSteps, FailedResetEndsTheModeChange) {
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(false);
    phone().inject("QLIB_DIAG_STATUS_F", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), kLib);
    EXPECT_NE(resultLine().find("cErrMsg=[Reset failed.]"), std::string::npos) << resultLine();
}

TEST_F(PowerUpSteps, PhoneSilentAfterTheModeChange) {
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(true);
    phone().reset_ms = 1LL << 40;  // the reset never ends
    phone().set_handler("QLIB_DIAG_STATUS_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set(0, 0);
        return true;
    });
    EXPECT_EQ(_Tessel_SpecialMobileOnOnline(s, 0, "u.c", 1), kLib);
    EXPECT_NE(resultLine().find("cErrMsg=[Reset failed.]"), std::string::npos) << resultLine();
}

TEST_F(PowerUpSteps, OnlineWhoseStateIsNotOnline) {
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(false);
    phone().inject("QLIB_DIAG_STATUS_F", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_SpecialMobileOnOnline(s, 0, "u.c", 1), kLib);
    EXPECT_NE(resultLine().find("cErrMsg=Could not read diag state."), std::string::npos) << resultLine();
    EXPECT_TRUE(hasLine("[ERROR: Cannot read diag state.]"));
}

TEST_F(PowerUpSteps, FailedVendorDtrEndsTheSequence) {
    const int s = sessionOff(DtrPath::Vendor);
    phone().inject("QLIB_SetDTR_State", qmsl_sim::Fault{qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), kLib);
    EXPECT_NE(resultLine().find("cErrMsg=QLIB_SetDTR_State(1) failed."), std::string::npos) << resultLine();
}

TEST_F(PowerUpSteps, FailedBoxDtrEndsTheSequence) {
    const int s = sessionOff(DtrPath::Box);
    box_.fail_line(kBoxPort, win::Line::Dtr);
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), kLib);
    EXPECT_NE(resultLine().find("cErrMsg=EscapeCommFunction(SETDTR) failed."), std::string::npos) << resultLine();
}

TEST_F(PowerUpSteps, TwoSessionsEachTakeTheirOwnLine) {
    // The line follows the library mode of the latest init, so each session
    // is switched on after its own init.
    const int boxed = sessionOff(DtrPath::Box);
    bootsInto(true);
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(boxed, 0, "u.c", 1), 0);
    EXPECT_EQ(boxDtr(), (std::vector<bool>{true, false}));
    EXPECT_TRUE(vendorDtr().empty());

    qmsl_sim::Phone& other = qmsl_sim::phone(4);
    other.set_nv(453, {1});
    const int plain = open("ASRL4::INSTR::LIB:qc:TRACELEVEL:1");
    ASSERT_EQ(_Tessel_ConnectServer(plain, "u.c", 1), 0);
    other.set_power(Power::Off);
    box_.journal.clear();
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(plain, 0, "u.c", 1), 0);
    EXPECT_EQ(other.calls("QLIB_SetDTR_State").size(), 2u);
    EXPECT_TRUE(boxDtr().empty());
    EXPECT_EQ(other.power(), Power::Ftm);
}

// The phone type the detection finds after an FTM switch-on, by the hardware
// id the phone answers and its model byte.
struct TypeCase {
    const char* name;
    int hwId;  // low byte of the FTM answer; -1 answers 0xFF
    std::uint8_t model;
    int type;
};
const TypeCase kTypeCases[] = {
    {"Yenk", 13, 209, 7},           {"OtherOn209", 5, 209, 11},   {"Tarv0", 0, 219, 6},
    {"Tarv1", 1, 247, 6},           {"Tarv9", 9, 219, 6},          {"Tarv12", 12, 247, 6},
    {"Gastol", 7, 219, 8},          {"Palden", 8, 247, 9},         {"Lurvin10", 10, 219, 4},
    {"Lurvin11", 11, 247, 4},       {"Lurvin13", 13, 219, 4},      {"Hubrel", 14, 247, 10},
    {"Brenvel5From2", 2, 219, 0},   {"Brenvel5From3", 3, 219, 0},  {"Brenvel5From6", 6, 247, 0},
    {"AboveFourteen", 15, 219, 11}, {"NegativeOn219", -1, 219, 11}, {"Sabbet", 12, 226, 5},
    {"VemarkVK16", 3, 226, 3},      {"NegativeOn226", -1, 226, 3}, {"OtherModel", 3, 100, 11},
};

class PowerUpDetection : public TesselPower, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(PowerUpDetection, FindsThePhoneType) {
    const TypeCase& c = GetParam();
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(true);
    phone().profile.model = c.model;
    qmsl_sim::ext_ftm(phone()).bodies[{qmsl_sim::kExtFtmGroup, 29}] = {0, 0,
                                                                        static_cast<std::uint8_t>(c.hwId & 0xFF), 0};
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), 0);
    EXPECT_EQ(slot(s).sPhoneType, c.type);
    EXPECT_TRUE(hasLine("[=== FTM_GET_HW_ID = " + std::to_string(c.hwId) + "]"));
    // Only the type-8 phone gets its backlight level.
    const auto ids = ftmIds();
    const bool backlight = std::find(ids.begin(), ids.end(), 30) != ids.end();
    EXPECT_EQ(backlight, c.type == 8);
}

INSTANTIATE_TEST_SUITE_P(Table, PowerUpDetection, ::testing::ValuesIn(kTypeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PowerUpSteps, FailedBacklightOfTypeEightFails) {
    const int s = sessionOff(DtrPath::Vendor);
    bootsInto(true);
    phone().profile.model = 219;
    qmsl_sim::ext_ftm(phone()).bodies[{qmsl_sim::kExtFtmGroup, 29}] = {0, 0, 7, 0};
    qmsl_sim::ext_ftm(phone()).statuses[{qmsl_sim::kExtFtmGroup, 30}] = 1;
    EXPECT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "u.c", 1), kLib);
    EXPECT_EQ(slot(s).sPhoneType, 8);
}

} // namespace
