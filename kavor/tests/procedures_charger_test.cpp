// Charger procedures: the transistor switch and its state, the wall
// charger's limits at their bounds, and the charging test past low-power
// mode 3.
#include "procedure_calls_support.h"
#include "qmsl_pmic_sim.h"

namespace {

using callstest::SequenceTest;

struct LimitCase {
    const char* name;
    unsigned int voltage, current;
    bool accepted;
    std::uint8_t currentCode, voltageCode;
};
void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

const LimitCase kLimitCases[] = {
    {"Lowest", 4000, 10, true, 0, 0},
    {"Highest", 4375, 300, true, 29, 15},
    {"CodesRoundDown", 4049, 19, true, 0, 1},
    {"VoltageOneAbove", 4376, 300, false, 0, 0},
    {"VoltageOneBelow", 3999, 10, false, 0, 0},
    {"CurrentOneAbove", 4000, 301, false, 0, 0},
    {"CurrentOneBelow", 4000, 9, false, 0, 0},
};

class ChargeLimits : public SequenceTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(ChargeLimits, AreSentAsCodesOrRefusedUnsent) {
    const LimitCase& c = GetParam();
    phone().clear_journal();
    EXPECT_EQ(KAVOR_SpecialSetPmicChargeLimits(h, c.voltage, c.current), c.accepted ? 1 : 0);
    const auto& limits = qmsl_sim::pmic(phone()).charger_limits;
    if (!c.accepted) {
        EXPECT_TRUE(phone().journal.empty());
        EXPECT_EQ(log(), std::vector<std::string>{"\tParameter out of range. - Failure\n"});
        EXPECT_FALSE(limits.has_value());
        return;
    }
    ASSERT_TRUE(limits.has_value());
    EXPECT_EQ(limits->current_code, c.currentCode);
    EXPECT_EQ(limits->voltage_code, c.voltageCode);
}

INSTANTIATE_TEST_SUITE_P(Bounds, ChargeLimits, ::testing::ValuesIn(kLimitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceTest, ChargeTransistorsZeroAndOneSwitch) {
    EXPECT_EQ(KAVOR_SpecialSetChargeFetState(h, 0, 1), 1);
    EXPECT_EQ(KAVOR_SpecialSetChargeFetState(h, 1, 0), 1);
    EXPECT_EQ(qmsl_sim::pmic(phone()).charger_switch, (std::map<int, bool>{{0, true}, {1, false}}));
}

TEST_F(SequenceTest, OtherChargeTransistorsAreRefusedUnsentAndUnlogged) {
    phone().clear_journal();
    unsigned char state = 9;
    EXPECT_EQ(KAVOR_SpecialSetChargeFetState(h, 2, 1), 0);
    EXPECT_EQ(KAVOR_SpecialGetChargeFetState(h, 0, &state), 0);
    EXPECT_EQ(KAVOR_SpecialGetChargeFetState(h, 2, &state), 0);
    EXPECT_EQ(state, 9);
    EXPECT_TRUE(phone().journal.empty());
    EXPECT_TRUE(log().empty());
}

struct FetStateCase {
    const char* name;
    std::uint8_t status;
    unsigned char state;
};
void PrintTo(const FetStateCase& c, std::ostream* os) { *os << c.name; }

class ChargeFetState : public SequenceTest, public ::testing::WithParamInterface<FetStateCase> {};

TEST_P(ChargeFetState, IsOnOnlyForInterruptStatusOne) {
    qmsl_sim::pmic(phone()).rt_status[11] = GetParam().status;
    unsigned char state = 9;
    EXPECT_EQ(KAVOR_SpecialGetChargeFetState(h, 1, &state), 1);
    EXPECT_EQ(state, GetParam().state);
    const auto reads = phone().calls("QLIB_FTM_PMIC_INT_GET_RT_STATUS");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].args, std::vector<long long>{11});
}

INSTANTIATE_TEST_SUITE_P(Statuses, ChargeFetState,
                         ::testing::Values(FetStateCase{"One", 1, 1}, FetStateCase{"Zero", 0, 0},
                                           FetStateCase{"Two", 2, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceTest, ChargingTestGoesOnAfterLowPowerModeThree) {
    qmsl_sim::pmic(phone()).rt_status[11] = 1;
    unsigned char state = 0;
    EXPECT_EQ(KAVOR_Charging_Test(h, 3, 1, 1, 1, 2, 4375, 300, 1, &state), 1);
    EXPECT_EQ(state, 1);
    const auto lines = log();
    const auto lpm = std::find(lines.begin(), lines.end(),
                               "\tKAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = \x03) - Completed successfully\n");
    ASSERT_NE(lpm, lines.end());
    ASSERT_GE(lines.end() - lpm, 3);
    EXPECT_EQ(lpm[1], "\t[!!! LPM3 -> PHONE HAS TO BE RESET NOW !!!] - Failure\n");
    EXPECT_EQ(lpm[2], "\t[!!! NO MORE COMMUNICATION POSSIBLE !!!] - Failure\n");
    EXPECT_EQ(phone().count("QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE"), 3u);
    EXPECT_EQ(qmsl_sim::pmic(phone()).charger_limits->voltage_code, 15);
}

TEST_F(SequenceTest, ChargingTestStopsAtRefusedLimits) {
    unsigned char state = 7;
    EXPECT_EQ(KAVOR_Charging_Test(h, 1, 1, 1, 1, 2, 4376, 300, 1, &state), 0);
    EXPECT_EQ(state, 7);
    EXPECT_EQ(phone().count("QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS"), 0u);
    EXPECT_EQ(phone().count("QLIB_FTM_PMIC_INT_GET_RT_STATUS"), 0u);
    const auto lines = log();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "\tParameter out of range. - Failure\n");
    EXPECT_EQ(lines.back(), "\tKAVOR_SpecialSetPmicChargeLimits(iVoltage = 4376, iCurrent = 300) - Failure\n");
}

} // namespace
