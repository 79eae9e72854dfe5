// The virtual SIM on virtual time: the direct path, the recovery reset with a
// phone quick or slow to come back, a phone that never reaches FTM mode, and
// the steps that fail.
#include "procedures_rf_support.h"
#include "qmsl_diag_sim.h"

namespace {

using qmsl_sim::Power;

class VirtualSim : public RfProcedureTest {
protected:
    void SetUp() override {
        RfProcedureTest::SetUp();
        qmsl_sim::diag_info(phone()).spc = "123456";
    }
    // The phone ignores the FTM mode command: only a reset with the FTM flag
    // set brings it there.
    void ignoreFtmCommand() {
        phone().set_handler("QLIB_DIAG_CONTROL_F", [](qmsl_sim::Phone& p, const qmsl_sim::Call& c) {
            const int mode = static_cast<int>(c.in[0].value);
            return mode == 3 ? true : p.control(mode);
        });
    }
    std::vector<long long> logFlags() const {
        std::vector<long long> r;
        for (const auto& e : qmsl_sim::phone(kPhonePort).calls("QLIB_SetLogFlags")) r.push_back(e.args[0]);
        return r;
    }
    std::vector<long long> controls() const {
        std::vector<long long> r;
        for (const auto& e : qmsl_sim::phone(kPhonePort).calls("QLIB_DIAG_CONTROL_F")) r.push_back(e.args[0]);
        return r;
    }
    unsigned char run(const char* spc = "123456") {
        spcResult = 0xEE;
        return KAVOR_Virtual_SIM(h, spc, &spcResult);
    }
    unsigned char spcResult = 0;
};

TEST_F(VirtualSim, DirectPathSetsTheClockGoesOnlineAndActivatesTheSim) {
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(spcResult, 1);
    EXPECT_EQ(pclock::now_ms(), 4000); // 1 s for FTM mode, 3 s for online mode
    EXPECT_EQ(controls(), (std::vector<long long>{3, 4}));
    EXPECT_EQ(logFlags(), (std::vector<long long>{2, 0, 2}));
    EXPECT_EQ(phone().nv[453].data, std::vector<std::uint8_t>{0});
    EXPECT_EQ(phone().power(), Power::Online);
    EXPECT_EQ(phone().count("QLIB_FTM_PMIC_RTC_SET_GET_TIME"), 1u);
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD"), 1u);
    EXPECT_TRUE(logged("\tQLIB_DIAG_SPC_F(iSPC = 123456) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKAVOR_ONLINE_TO_FTM() - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKAVOR_SpecialSetRtcActualTime() - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKAVOR_FTM_TO_ONLINE() - Completed successfully\n"));
    EXPECT_EQ(log().back(), "\tKAVOR_SimSimulation() - Completed successfully\n");
}

TEST_F(VirtualSim, TheSpcResultGoesBackUnexamined) {
    EXPECT_EQ(run("999999"), 1);
    EXPECT_EQ(spcResult, 0);
    EXPECT_EQ(phone().calls("QLIB_DIAG_SPC_F").at(0).bytes, (std::vector<std::uint8_t>{'9', '9', '9', '9', '9', '9'}));
}

struct RecoveryCase {
    const char* name;
    long long resetMs; // how long the phone stays silent after a reset
    long long endMs;
    std::vector<long long> controls;
    std::vector<long long> logFlags;
};
void PrintTo(const RecoveryCase& c, std::ostream* os) { *os << c.name; }
class VirtualSimRecovery : public VirtualSim, public ::testing::WithParamInterface<RecoveryCase> {};

// The phone ignores the FTM mode command, so the switch into FTM mode resets
// it at 0 s and it comes back in FTM mode after resetMs.
TEST_P(VirtualSimRecovery, WaitsLongerOnlyForAPhoneSlowToComeBack) {
    const RecoveryCase& c = GetParam();
    ignoreFtmCommand();
    phone().reset_ms = c.resetMs;
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(pclock::now_ms(), c.endMs);
    EXPECT_EQ(controls(), c.controls);
    EXPECT_EQ(logFlags(), c.logFlags);
    EXPECT_EQ(phone().power(), Power::Online);
    EXPECT_EQ(log().back(), "\tKAVOR_SimSimulation() - Completed successfully\n");
}

INSTANTIATE_TEST_SUITE_P(
    Timing, VirtualSimRecovery,
    ::testing::Values(
        // Back before the check at 1 s: no recovery.
        RecoveryCase{"BackBeforeTheCheck", 500, 4000, {3, 2, 4}, {2, 0, 2}},
        // Silent at 1 s: recovery; back at 5 s during the first polling, the
        // second polling finds it at once: 3 s gap and 3 s for online mode.
        RecoveryCase{"BackDuringTheFirstPolling", 5000, 11000, {3, 2, 0, 2, 4}, {0, 2, 0, 2}},
        // Back exactly when the second polling starts (15.5 s): no extra wait.
        RecoveryCase{"BackWhenTheSecondPollingStarts", 15500, 18500, {3, 2, 0, 2, 4}, {0, 2, 0, 2}},
        // Back at 20 s: the first polling gave up at 12.5 s and the second
        // found the phone silent, so 3 s more are waited.
        RecoveryCase{"BackOnlyDuringTheSecondPolling", 20000, 26000, {3, 2, 0, 2, 4}, {0, 2, 0, 2}}),
    STEPS_CASE_NAME);

TEST_F(VirtualSim, APhoneThatNeverReachesFtmModeEndsWithTheLogOn) {
    phone().set_handler("QLIB_IsFTM_Mode", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set(0, 0);
        return true;
    });
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(logFlags(), (std::vector<long long>{0, 2}));
    EXPECT_EQ(log().back(), "\tCannot switch to FTM mode - Failure\n");
    EXPECT_EQ(phone().count("QLIB_FTM_PMIC_RTC_SET_GET_TIME"), 0u);
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD"), 0u);
}

TEST_F(VirtualSim, AClockThatCannotBeSetIsPassedOver) {
    phone().inject("QLIB_FTM_PMIC_RTC_SET_GET_TIME", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(run(), 1);
    const auto lines = log();
    auto it = std::find(lines.begin(), lines.end(), "\tKAVOR_SpecialSetRtcActualTime() - Failure\n");
    ASSERT_NE(it, lines.end());
    ASSERT_NE(it + 1, lines.end());
    EXPECT_EQ(*(it + 1), "\tCannot set actual time - Failure\n");
    EXPECT_EQ(lines.back(), "\tKAVOR_SimSimulation() - Completed successfully\n");
}

struct FailCase {
    const char* name;
    const char* fn;
    std::size_t after; // calls of fn that still succeed
    const char* lastLine;
};
void PrintTo(const FailCase& c, std::ostream* os) { *os << c.name; }
class VirtualSimFailure : public VirtualSim, public ::testing::WithParamInterface<FailCase> {};

TEST_P(VirtualSimFailure, EndsWithTheStepsLine) {
    failAfter(GetParam().fn, GetParam().after);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(log().back(), GetParam().lastLine);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, VirtualSimFailure,
    ::testing::Values(FailCase{"Spc", "QLIB_DIAG_SPC_F", 0, "\tQLIB_DIAG_SPC_F(iSPC = 123456) - Failure\n"},
                      FailCase{"IntoFtm", "QLIB_DIAG_NV_WRITE_F", 0, "\tKAVOR_ONLINE_TO_FTM() - Failure\n"},
                      FailCase{"IntoOnline", "QLIB_DIAG_NV_WRITE_F", 1, "\tKAVOR_FTM_TO_ONLINE() - Failure\n"},
                      FailCase{"Sim", "QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD", 0,
                               "\tKAVOR_SimSimulation() - Failure\n"}),
    STEPS_CASE_NAME);

} // namespace
