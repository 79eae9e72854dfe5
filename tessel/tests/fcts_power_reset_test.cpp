// Reset into a mode: offline first, the FTM flag, the reset command, the
// fixed wait and the reconnection, with each wait under and over its limit
// and each call failing in turn.
#include "TesselPowerFixture.h"

namespace {

using qmsl_sim::Power;

class Reset : public TesselPower {
protected:
    int onlineSession(const std::string& options = "TRACELEVEL:1") {
        const int s = connected(options);
        bootsInto(false);
        phone().set_power(Power::Online);
        return s;
    }
    static std::vector<long long> controls() {
        std::vector<long long> r;
        for (const auto& e : phone().calls("QLIB_DIAG_CONTROL_F")) r.push_back(e.args.at(0));
        return r;
    }
};

TEST_F(Reset, IntoFtmWaitsForOfflineThenForTheRestart) {
    const int s = onlineSession();
    phone().mode_change_ms = 3000;
    phone().reset_ms = 5000;
    const long long t0 = pclock::now_ms();
    EXPECT_EQ(_Tessel_SpecialPhoneReset(s, 1, "r.c", 1), 0);
    EXPECT_EQ(controls(), (std::vector<long long>{1, 2}));
    EXPECT_EQ(ftmFlag(), 1);
    EXPECT_EQ(phone().power(), Power::Ftm);
    const auto reset = phone().calls("QLIB_DIAG_CONTROL_F").at(1);
    EXPECT_EQ(reset.at_ms - t0, 3000);  // offline seen on the poll at 3 s
    const auto pings = phone().calls("QLIB_IsPhoneConnected");
    ASSERT_EQ(pings.size(), 3u);
    EXPECT_EQ(pings[0].at_ms - reset.at_ms, 18000);
    EXPECT_EQ(pings[1].at_ms - pings[0].at_ms, 1000);
    EXPECT_TRUE(hasLine("( Handle="));
    EXPECT_TRUE(hasLine("Mode=FTM )"));
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_SpecialPhoneReset( ) = 0 (SUCCESS) ");
}

TEST_F(Reset, IntoOnlineClearsTheFlag) {
    const int s = onlineSession();
    bootsInto(true);
    phone().set_power(Power::Ftm);
    EXPECT_EQ(_Tessel_SpecialPhoneReset(s, 0, "r.c", 1), 0);
    EXPECT_EQ(ftmFlag(), 0);
    EXPECT_EQ(phone().power(), Power::Online);
    EXPECT_TRUE(hasLine("Mode=ONLINE )"));
}

struct WaitCase {
    const char* name;
    long long offline_ms;
    long long restart_ms;
    int status;
    const char* line;  // the line that tells the outcome
    std::size_t controls;
};
const WaitCase kWaitCases[] = {
    {"OfflineJustInTime", 11750, 5000, 0, "[connecting...]", 2},
    {"OfflineTooLate", 12500, 5000, TESSEL_ERROR_LIBRARY, "[TIMEOUT]", 1},
    {"RestartLate", 0, 57000, 0, "[connecting...]", 2},
    {"RestartTooLate", 0, 60000, TESSEL_ERROR_LIBRARY, "Error: TIMEOUT", 2},
};

class ResetWaits : public Reset, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(ResetWaits, EndWithinTheirLimits) {
    const WaitCase& c = GetParam();
    const int s = onlineSession();
    phone().mode_change_ms = c.offline_ms;
    phone().reset_ms = c.restart_ms;
    EXPECT_EQ(_Tessel_SpecialPhoneReset(s, 1, "r.c", 1), c.status);
    EXPECT_TRUE(hasLine(c.line));
    EXPECT_EQ(controls().size(), c.controls);
    if (c.controls == 1) {
        EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_F"), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, ResetWaits, ::testing::ValuesIn(kWaitCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Each call of the reset failing in turn.
struct FailCase {
    const char* name;
    const char* fn;
    int nth;           // which call of fn fails (1-based)
    bool nvStatus;     // the write answers NV status 1 instead of failing
    const char* line;
    bool flagWritten;  // NV 453 changed all the same
    bool resetSent;    // the reset command was tried
};
const FailCase kFailCases[] = {
    {"OfflineCommand", "QLIB_DIAG_CONTROL_F", 1, false, "[Failed to write NV_FTM_MODE.]", true, false},
    {"DiagState", "QLIB_DIAG_STATUS_F", 1, false, "Error: Cannot read diag state.", false, false},
    {"FlagWrite", "QLIB_DIAG_NV_WRITE_F", 1, false, "[Failed to write NV_FTM_MODE.]", false, false},
    {"FlagStatus", "QLIB_DIAG_NV_WRITE_F", 1, true, "[Failed to write NV_FTM_MODE.]", false, false},
    {"ResetCommand", "QLIB_DIAG_CONTROL_F", 2, false, "Error: QLIB_DIAG_CONTROL_F(MODE_RESET_F) failed.", true,
     true},
};

class ResetFailures : public Reset, public ::testing::WithParamInterface<FailCase> {};

TEST_P(ResetFailures, EndTheSequence) {
    const FailCase& c = GetParam();
    // In FTM by a mode command, with the flag still 0: the diag state is 0
    // at once, so a failed offline command still reaches the flag write.
    const int s = onlineSession();
    phone().set_power(Power::Ftm);
    if (c.nvStatus) {
        phone().nv[453].status = 1;
    } else if (std::string(c.fn) == "QLIB_DIAG_CONTROL_F") {
        auto calls = std::make_shared<int>(0);
        const int nth = c.nth;
        phone().set_handler(c.fn, [calls, nth](qmsl_sim::Phone& p, const qmsl_sim::Call& call) {
            return ++*calls != nth && p.control(static_cast<int>(call.in[0].value));
        });
    } else {
        phone().inject(c.fn, qmsl_sim::Fault{qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    }
    EXPECT_EQ(_Tessel_SpecialPhoneReset(s, 1, "r.c", 1), kLib);
    EXPECT_TRUE(hasLine(c.line));
    EXPECT_EQ(phone().nv.count(453) && phone().nv.at(453).status == 0 && ftmFlag() == 1, c.flagWritten);
    const auto cs = controls();
    EXPECT_EQ(std::count(cs.begin(), cs.end(), 2), c.resetSent ? 1 : 0);
    EXPECT_NE(phone().power(), Power::Booting);  // never restarted
}

INSTANTIATE_TEST_SUITE_P(Calls, ResetFailures, ::testing::ValuesIn(kFailCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reset, OutcomeLinesAreWrittenAtTraceLevelZero) {
    const int s = onlineSession("TRACELEVEL:0");
    phone().mode_change_ms = 20000;
    EXPECT_EQ(_Tessel_SpecialPhoneReset(s, 1, "r.c", 1), kLib);
    EXPECT_TRUE(hasLine("[TIMEOUT]"));
    EXPECT_FALSE(hasLine("[waiting to go offline...]"));
    EXPECT_FALSE(hasLine("_Tessel_SpecialPhoneReset("));
}

TEST_F(Reset, WithoutConnectionFailsAtOnce) {
    const int s = openSession();
    tracer_test::clear_lines();
    const long long t0 = pclock::now_ms();
    EXPECT_EQ(_Tessel_SpecialPhoneReset(s, 1, "r.c", 1), kLib);
    EXPECT_EQ(pclock::now_ms(), t0);
    EXPECT_TRUE(hasLine("[TIMEOUT]"));
}

} // namespace
