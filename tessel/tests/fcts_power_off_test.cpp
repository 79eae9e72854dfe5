// Power-off with and without a boot box, its waits and its failure points,
// and DTR now on either line.
#include "TesselPowerFixture.h"

namespace {

using qmsl_sim::Power;

class PowerOff : public TesselPower {
protected:
    // A connected session whose phone is in FTM with its flag set.
    int ftmSession(DtrPath path, const std::string& level = "TRACELEVEL:1") {
        const int s = connected(path == DtrPath::Box ? level + ":MZ4BB:7" : level);
        bootsInto(true);
        phone().set_power(Power::Ftm);
        box_.journal.clear();
        return s;
    }
    static std::vector<long long> controls() {
        std::vector<long long> r;
        for (const auto& e : phone().calls("QLIB_DIAG_CONTROL_F")) r.push_back(e.args.at(0));
        return r;
    }
};

// The stored DTR state 1 says the box was left holding DTR high.
struct OffCase {
    const char* name;
    DtrPath path;
    unsigned short dtrState;
    std::vector<bool> boxDtr;  // what the power-off does to the box's DTR
};
const OffCase kOffCases[] = {
    {"WithoutBox", DtrPath::Vendor, 0, {}},
    {"WithoutBoxDtrHeld", DtrPath::Vendor, 1, {}},
    {"WithBox", DtrPath::Box, 0, {}},
    {"WithBoxDtrHeld", DtrPath::Box, 1, {false}},
};

class PowerOffPaths : public PowerOff, public ::testing::WithParamInterface<OffCase> {};

TEST_P(PowerOffPaths, SwitchesOffAndKeepsTheFlag) {
    const OffCase& c = GetParam();
    const int s = ftmSession(c.path);
    EXPECT_EQ(_Tessel_PutDtrState(c.dtrState, "o.c", 1), 0);
    tracer_test::clear_lines();
    EXPECT_EQ(_Tessel_SpecialPhoneOff(s, "o.c", 1), 0);
    EXPECT_EQ(phone().power(), Power::Off);
    EXPECT_EQ(controls(), (std::vector<long long>{1, 6}));
    EXPECT_EQ(ftmFlag(), 1);
    EXPECT_EQ(phone().calls("QLIB_DIAG_NV_WRITE_F").at(0).bytes, std::vector<std::uint8_t>{1});
    EXPECT_EQ(boxDtr(), c.boxDtr);
    EXPECT_EQ(hasLine("[DTR->low]"), !c.boxDtr.empty());
    EXPECT_TRUE(hasLine("[No response. Waiting again.]"));
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_SpecialPhoneOff( ) = 0 (SUCCESS) ");
}

INSTANTIATE_TEST_SUITE_P(Paths, PowerOffPaths, ::testing::ValuesIn(kOffCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A phone that boots online keeps its flag 0: the power-off writes back what
// it read, not a fixed value.
TEST_F(PowerOff, AnOnlinePhoneKeepsItsFlagZero) {
    const int s = connected("TRACELEVEL:1");
    bootsInto(false);
    phone().set_power(Power::Online);
    EXPECT_EQ(_Tessel_SpecialPhoneOff(s, "o.c", 1), 0);
    EXPECT_EQ(phone().power(), Power::Off);
    EXPECT_EQ(ftmFlag(), 0);
    EXPECT_EQ(phone().calls("QLIB_DIAG_NV_WRITE_F").at(0).bytes, std::vector<std::uint8_t>{0});
}

TEST_F(PowerOff, ThePhoneComesBackInTheModeItWasIn) {
    const int s = ftmSession(DtrPath::Vendor);
    ASSERT_EQ(_Tessel_SpecialPhoneOff(s, "o.c", 1), 0);
    ASSERT_EQ(_Tessel_SpecialMobileOnFtm(s, 0, "o.c", 1), 0);
    EXPECT_EQ(phone().power(), Power::Ftm);
    EXPECT_TRUE(hasLine("[No mode change required.]"));
}

struct SilenceCase {
    const char* name;
    long long off_ms;
    int status;
};
const SilenceCase kSilenceCases[] = {
    {"SilentAtOnce", 0, 0},
    {"SilentWithinTenSeconds", 9800, 0},
    {"StillAnsweringAfterTenSeconds", 10400, TESSEL_ERROR_LIBRARY},
};

class PowerOffSilence : public PowerOff, public ::testing::WithParamInterface<SilenceCase> {};

TEST_P(PowerOffSilence, WaitsUpToTenSeconds) {
    const SilenceCase& c = GetParam();
    const int s = ftmSession(DtrPath::Vendor);
    phone().power_off_ms = c.off_ms;
    const long long t0 = pclock::now_ms();
    EXPECT_EQ(_Tessel_SpecialPhoneOff(s, "o.c", 1), c.status);
    EXPECT_EQ(hasLine("[TIMEOUT]"), c.status != 0);
    EXPECT_EQ(hasLine("[No response. Waiting again.]"), c.status == 0);
    if (c.status != 0) {
        EXPECT_GT(pclock::now_ms() - t0, 10000);
        EXPECT_LE(pclock::now_ms() - t0, 10200);
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, PowerOffSilence, ::testing::ValuesIn(kSilenceCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct OffFailCase {
    const char* name;
    std::function<void(qmsl_sim::Phone&)> arrange;
    const char* line;
    std::size_t controls;  // commands sent
};
const OffFailCase kOffFailCases[] = {
    {"PhoneSilent", [](qmsl_sim::Phone& p) { p.set_power(Power::Off); }, "[Cannot PING mobile.]", 0},
    {"FlagMissing", [](qmsl_sim::Phone& p) { p.nv.erase(453); }, "[Failed to read NV_FTM_MODE.]", 0},
    {"FlagRead",
     [](qmsl_sim::Phone& p) { p.inject("QLIB_DIAG_NV_READ_F", qmsl_sim::Fault{}); },
     "[Failed to read NV_FTM_MODE.]", 0},
    {"NeverOffline",
     [](qmsl_sim::Phone& p) {
         p.set_handler("QLIB_DIAG_STATUS_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
             c.set(0, 1);  // still online
             return true;
         });
     },
     "[TIMEOUT]", 1},
    {"OfflineCommand",
     [](qmsl_sim::Phone& p) {
         p.inject("QLIB_DIAG_CONTROL_F", qmsl_sim::Fault{qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
     },
     "[Failed to write NV_FTM_MODE.]", 1},
    {"FlagWrite",
     [](qmsl_sim::Phone& p) { p.inject("QLIB_DIAG_NV_WRITE_F", qmsl_sim::Fault{}); },
     "[Failed to write NV_FTM_MODE.]", 1},
    {"PowerOffCommand",
     [](qmsl_sim::Phone& p) {
         p.set_handler("QLIB_DIAG_CONTROL_F",
                       [](qmsl_sim::Phone& q, const qmsl_sim::Call& c) { return c.in[0].value != 6 && q.control(1); });
     },
     "[sending MODE_POWER_OFF_F]", 2},
};

class PowerOffFailures : public PowerOff, public ::testing::WithParamInterface<OffFailCase> {};

TEST_P(PowerOffFailures, EndTheSequence) {
    const OffFailCase& c = GetParam();
    const int s = ftmSession(DtrPath::Vendor);
    c.arrange(phone());
    EXPECT_EQ(_Tessel_SpecialPhoneOff(s, "o.c", 1), kLib);
    EXPECT_TRUE(hasLine(c.line));
    EXPECT_EQ(controls().size(), c.controls);
    EXPECT_FALSE(hasLine("[No response. Waiting again.]"));
}

INSTANTIATE_TEST_SUITE_P(Calls, PowerOffFailures, ::testing::ValuesIn(kOffFailCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PowerOff, FailedClearOfTheOpenBoxDtrFails) {
    const int s = ftmSession(DtrPath::Box);
    EXPECT_EQ(_Tessel_PutDtrState(1, "o.c", 1), 0);
    box_.fail_line(kBoxPort, win::Line::Dtr);
    EXPECT_EQ(_Tessel_SpecialPhoneOff(s, "o.c", 1), kLib);
    EXPECT_FALSE(hasLine("[DTR->low]"));
}

TEST_F(PowerOff, OutcomeLinesAreWrittenAtTraceLevelZero) {
    const int s = ftmSession(DtrPath::Vendor, "TRACELEVEL:0");
    EXPECT_EQ(_Tessel_SpecialPhoneOff(s, "o.c", 1), 0);
    EXPECT_TRUE(hasLine("[Reading NV_FTM_MODE...]"));
    EXPECT_TRUE(hasLine("[Restoring NV_FTM_MODE...]"));
    EXPECT_TRUE(hasLine("[No response. Waiting again.]"));
    EXPECT_FALSE(hasLine("[sending MODE_POWER_OFF_F]"));
    EXPECT_FALSE(hasLine("_Tessel_SpecialPhoneOff("));
}

// DTR now: on the open box, else on the phone's port; the stored state stays.
struct DtrCase {
    const char* name;
    DtrPath path;
    unsigned short state;
    int status;
    const char* line;  // null: none
};
const DtrCase kDtrCases[] = {
    {"VendorHigh", DtrPath::Vendor, 1, 0, "[DTR->HIGH]"},
    {"VendorLow", DtrPath::Vendor, 0, 0, "[DTR->low]"},
    {"BoxHigh", DtrPath::Box, 1, 0, "[DTR->HIGH]"},
    {"BoxLow", DtrPath::Box, 0, 0, "[DTR->low]"},
    {"VendorTwoIsRefused", DtrPath::Vendor, 2, TESSEL_ERROR_LIBRARY, nullptr},
    {"BoxTwoIsRefused", DtrPath::Box, 2, TESSEL_ERROR_LIBRARY, nullptr},
};

class DtrNow : public TesselPower, public ::testing::WithParamInterface<DtrCase> {};

TEST_P(DtrNow, DrivesTheLineOfTheSession) {
    const DtrCase& c = GetParam();
    const int s = sessionOff(c.path);
    EXPECT_EQ(_Tessel_SpecialSetDtrState(s, c.state, "d.c", 1), c.status);
    const bool acted = c.status == 0;
    if (c.path == DtrPath::Box) {
        EXPECT_EQ(boxDtr(), acted ? std::vector<bool>{c.state == 1} : std::vector<bool>{});
        EXPECT_TRUE(vendorDtr().empty());
    } else {
        EXPECT_EQ(vendorDtr(), acted ? std::vector<long long>{c.state} : std::vector<long long>{});
        EXPECT_TRUE(boxDtr().empty());
    }
    if (c.line) {
        EXPECT_TRUE(hasLine(c.line));
    }
    unsigned short stored = 9;
    EXPECT_EQ(_Tessel_GetDtrState(&stored, "d.c", 1), 0);
    EXPECT_EQ(stored, 0);
    // A rising DTR presses the power key on either line.
    EXPECT_EQ(phone().power(), acted && c.state == 1 ? Power::Booting : Power::Off);
}

INSTANTIATE_TEST_SUITE_P(Lines, DtrNow, ::testing::ValuesIn(kDtrCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PowerOff, FailedDtrCallFails) {
    const int v = sessionOff(DtrPath::Vendor);
    phone().inject("QLIB_SetDTR_State", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_SpecialSetDtrState(v, 1, "d.c", 1), kLib);
    EXPECT_FALSE(hasLine("[DTR->HIGH]"));
}

TEST_F(PowerOff, FailedBoxLineFails) {
    const int b = sessionOff(DtrPath::Box);
    box_.fail_line(kBoxPort, win::Line::Dtr);
    EXPECT_EQ(_Tessel_SpecialSetDtrState(b, 0, "d.c", 1), kLib);
}

} // namespace
