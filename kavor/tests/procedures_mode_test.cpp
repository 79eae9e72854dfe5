// Mode change by reset against the simulated phone, on the virtual clock.
#include "procedures_fixture.h"

namespace {

using qmsl_sim::Power;

struct ModeCase {
    const char* name;
    unsigned char ftm;
    long long offlineAfterMs; // how long the phone takes to go offline
    long long resetMs;        // how long the reset keeps it silent
    bool result;
    const char* lastLine;
    long long endMs;
    bool resetSent;
    Power powerAfter;
};
void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

constexpr long long kNever = 10'000'000;

const ModeCase kModeCases[] = {
    {"IntoFtmInTime", 1, 0, 5000, true, "\tMobile is on", 19000, true, Power::Ftm},
    {"IntoOnlineInTime", 0, 0, 5000, true, "\tMobile is on", 19000, true, Power::Online},
    {"OfflineLateButInTime", 1, 5000, 5000, true, "\tMobile is on", 24000, true, Power::Ftm},
    {"BackLateButInTime", 1, 0, 50000, true, "\tMobile is on", 51000, true, Power::Ftm},
    {"BackAtTheLastPoll", 1, 0, 57000, true, "\tMobile is on", 58000, true, Power::Ftm},
    {"BackJustTooLate", 1, 0, 58000, false, "\tTime for turn mobile on is up", 58000, true, Power::Ftm},
    {"NeverBack", 1, 0, kNever, false, "\tTime for turn mobile on is up", 58000, true, Power::Booting},
    {"NeverOffline", 1, 12000, 5000, false, "\tMobile not in OFFLINE mode - Failure\n", 12000, false, Power::Offline},
};

class ModeChange : public ProcedureTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeChange, WaitsAsLongAsAllowed) {
    const ModeCase& c = GetParam();
    phone().mode_change_ms = c.offlineAfterMs;
    phone().reset_ms = c.resetMs;
    EXPECT_EQ(KAVOR_ModeChangeResetMobile(h, c.ftm), c.result ? 1 : 0);
    EXPECT_EQ(log().back(), c.lastLine);
    EXPECT_EQ(pclock::now_ms(), c.endMs);
    auto controls = phone().calls("QLIB_DIAG_CONTROL_F");
    ASSERT_EQ(controls.size(), c.resetSent ? 2u : 1u);
    EXPECT_EQ(controls[0].args, std::vector<long long>{0});
    if (c.resetSent) {
        EXPECT_EQ(controls[1].args, std::vector<long long>{2});
        EXPECT_EQ(nv453(), std::vector<std::uint8_t>{c.ftm});
    } else {
        EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_F"), 0u);
    }
    pclock::sleep_ms(1);
    EXPECT_EQ(phone().power(), c.powerAfter);
}

INSTANTIATE_TEST_SUITE_P(Timing, ModeChange, ::testing::ValuesIn(kModeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProcedureTest, ModeChangeLogsEveryStep) {
    EXPECT_EQ(KAVOR_ModeChangeResetMobile(h, 1), 1);
    EXPECT_EQ(log(),
              (std::vector<std::string>{
                  "\t\tQLIB_DIAG_CONTROL_F() start",
                  "\tQLIB_DIAG_CONTROL_F(eMode = 0) - Completed successfully\n",
                  "\t\tQLIB_DIAG_STATUS_F() start",
                  "\tQLIB_DIAG_STATUS_F(iTMC_State = 0) - Completed successfully\n",
                  "\tMobile in Offline mode",
                  "\t\tKAVOR_DIAG_NV_WRITE_F() start",
                  "\t\tQLIB_DIAG_NV_WRITE_F() start",
                  "\tQLIB_DIAG_NV_WRITE_F(iItemID = 453, pItemData = <ptr>, iLength = 1) - Completed successfully\n",
                  "\tKAVOR_DIAG_NV_WRITE_F(iItemID = 453, pItemData = <ptr>, iLength = 1) - Completed successfully\n",
                  "\t\tQLIB_DIAG_CONTROL_F() start",
                  "\tQLIB_DIAG_CONTROL_F(eMode = 2) - Completed successfully\n",
                  "\tMobile is on",
              }));
}

TEST_F(ProcedureTest, ModeChangePollsStatusEveryQuarterSecond) {
    phone().mode_change_ms = 12000;
    EXPECT_EQ(KAVOR_ModeChangeResetMobile(h, 1), 0);
    EXPECT_EQ(countLogged("\t\tQLIB_DIAG_STATUS_F() start"), 48u); // at 0, 250, ... 11750 ms
    EXPECT_EQ(countLogged("\tQLIB_DIAG_STATUS_F(iTMC_State = 1) - Completed successfully\n"), 48u);
}

TEST_F(ProcedureTest, ModeChangeComesBackAfterTwoMoreQuestions) {
    EXPECT_EQ(KAVOR_ModeChangeResetMobile(h, 0), 1);
    // The last three: the answer that ends the wait and two more.
    auto asked = phone().calls("QLIB_IsPhoneConnected");
    ASSERT_GE(asked.size(), 3u);
    EXPECT_EQ(asked[asked.size() - 3].at_ms, 18000);
    EXPECT_EQ(asked[asked.size() - 2].at_ms, 19000);
    EXPECT_EQ(asked[asked.size() - 1].at_ms, 19000);
}

TEST_F(ProcedureTest, ModeChangeWaitsRightAcrossTheTickCountWrap) {
    const long long start = (1LL << 32) - 10000; // the tick count wraps during the rest
    pclock::use_virtual_time(start);
    phone().reset_ms = 30000;
    EXPECT_EQ(KAVOR_ModeChangeResetMobile(h, 1), 1);
    EXPECT_EQ(pclock::now_ms() - start, 31000);
}

struct FaultCase {
    const char* name;
    std::function<void(qmsl_sim::Phone&)> arrange;
    const char* lastLine;
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

const qmsl_sim::Fault kFailOnce{qmsl_sim::Fault::FalseResult, 0, {}, 0, 1};

class ModeChangeFault : public ProcedureTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ModeChangeFault, EndsAtTheFailedStep) {
    GetParam().arrange(phone());
    EXPECT_EQ(KAVOR_ModeChangeResetMobile(h, 1), 0);
    EXPECT_EQ(log().back(), GetParam().lastLine);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ModeChangeFault,
    ::testing::Values(
        FaultCase{"SilentPhone", [](qmsl_sim::Phone& p) { p.set_power(Power::Off); }, "\tInvalid handle - Failure\n"},
        FaultCase{"OfflineCommand", [](qmsl_sim::Phone& p) { p.inject("QLIB_DIAG_CONTROL_F", kFailOnce); },
                  "\tQLIB_DIAG_CONTROL_F(eMode = 0) - Failure\n"},
        FaultCase{"Status", [](qmsl_sim::Phone& p) { p.inject("QLIB_DIAG_STATUS_F", kFailOnce); },
                  "\tQLIB_DIAG_STATUS_F(iTMC_State = 1) - Failure\n"},
        FaultCase{"NvWrite", [](qmsl_sim::Phone& p) { p.set_nv(453, {0}, 2); },
                  "\tKAVOR_DIAG_NV_WRITE_F(iItemID = 453, pItemData = <ptr>, iLength = 1) - Failure\n"},
        FaultCase{"ResetCommand",
                  [](qmsl_sim::Phone& p) {
                      p.set_handler("QLIB_DIAG_CONTROL_F", [](qmsl_sim::Phone& ph, const qmsl_sim::Call& c) {
                          return c.in[0].value != 2 && ph.control(int(c.in[0].value));
                      });
                  },
                  "\tQLIB_DIAG_CONTROL_F(eMode = 2) - Failure\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
