#include "qmsl_pmic.h"
#include "qmsl_pmic_sim.h"

#include "sim_test_support.h"

#include "pclock.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr unsigned kPort = 6;

// A test on the phone of kPort; Base ::testing::TestWithParam<Row> for a table.
template <class Base>
class PmicTest : public qmsl_test::ConnectedTest<kPort, Base> {
protected:
    qmsl_sim::Pmic& chip() { return qmsl_sim::pmic(this->phone()); }
};

using Pmic = PmicTest<::testing::Test>;

// One row per command: how to call it once, what the journal must show.
struct CommandCase {
    const char* label;
    const char* fn;
    std::function<unsigned char(QmslHandle)> call;
    std::vector<long long> args;
};
void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.label; }

unsigned char rtcWrite(QmslHandle h) {
    unsigned char mode = 2, month = 3, day = 7, hour = 14, minute = 5, second = 9;
    unsigned short year = 2006;
    return QLIB_FTM_PMIC_RTC_SET_GET_TIME(h, 0, &mode, &month, &day, &year, &hour, &minute, &second);
}

const CommandCase kCommands[] = {
    {"VregControl", "QLIB_FTM_PMIC_VREG_CONTROL", [](QmslHandle h) { return QLIB_FTM_PMIC_VREG_CONTROL(h, 1, 0x00080000); },
     {1, 0x00080000}},
    {"VregSetLevel", "QLIB_FTM_PMIC_VREG_SET_LEVEL", [](QmslHandle h) { return QLIB_FTM_PMIC_VREG_SET_LEVEL(h, 19, 3000); },
     {19, 3000}},
    {"ChargerSwitch", "QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE",
     [](QmslHandle h) { return QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(h, 7, 1); }, {7, 1}},
    {"RtStatus", "QLIB_FTM_PMIC_INT_GET_RT_STATUS",
     [](QmslHandle h) {
         unsigned char s = 0;
         return QLIB_FTM_PMIC_INT_GET_RT_STATUS(h, 11, &s);
     },
     {11}},
    {"RtcWrite", "QLIB_FTM_PMIC_RTC_SET_GET_TIME", rtcWrite, {0, 2, 3, 7, 2006, 14, 5, 9}},
    {"ChargerLimits", "QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS",
     [](QmslHandle h) { return QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS(h, 29, 15); }, {29, 15}},
};

using PmicCommand = PmicTest<::testing::TestWithParam<CommandCase>>;

TEST_P(PmicCommand, IsJournalledWithItsArguments) {
    const CommandCase& c = GetParam();
    EXPECT_EQ(c.call(h), 1);
    auto calls = phone().calls(c.fn);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].handle, h);
    EXPECT_EQ(calls[0].args, c.args);
}

TEST_P(PmicCommand, InjectedFalseResultFailsWithoutEffect) {
    const CommandCase& c = GetParam();
    phone().inject(c.fn, {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(c.call(h), 0);
    EXPECT_EQ(chip().vregs_on, 0u);
    EXPECT_TRUE(chip().vreg_level_mv.empty());
    EXPECT_TRUE(chip().charger_switch.empty());
    EXPECT_FALSE(chip().charger_limits.has_value());
    EXPECT_EQ(chip().rtc, qmsl_sim::RtcTime{});
    EXPECT_EQ(c.call(h), 1);  // the fault was for one call
    EXPECT_EQ(phone().count(c.fn), 2u);
}

TEST_P(PmicCommand, FailsOnAPhoneThatDoesNotAnswer) {
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(GetParam().call(h), 0);
}

TEST_P(PmicCommand, FailsOnAnUnknownHandle) { EXPECT_EQ(GetParam().call(-1), 0); }

INSTANTIATE_TEST_SUITE_P(Commands, PmicCommand, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Pmic, SuppliesSwitchByMask) {
    ASSERT_EQ(QLIB_FTM_PMIC_VREG_CONTROL(h, 1, 0x00080000), 1);
    ASSERT_EQ(QLIB_FTM_PMIC_VREG_CONTROL(h, 1, 0x00008000), 1);
    EXPECT_EQ(chip().vregs_on, 0x00088000u);
    ASSERT_EQ(QLIB_FTM_PMIC_VREG_CONTROL(h, 0, 0x00008000), 1);
    EXPECT_EQ(chip().vregs_on, 0x00080000u);
}

TEST_F(Pmic, LevelsAndSwitchesKeepTheLastValuePerId) {
    ASSERT_EQ(QLIB_FTM_PMIC_VREG_SET_LEVEL(h, 19, 3000), 1);
    ASSERT_EQ(QLIB_FTM_PMIC_VREG_SET_LEVEL(h, 19, 1800), 1);
    ASSERT_EQ(QLIB_FTM_PMIC_VREG_SET_LEVEL(h, 4, 2600), 1);
    EXPECT_EQ(chip().vreg_level_mv, (std::map<int, int>{{4, 2600}, {19, 1800}}));
    ASSERT_EQ(QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(h, 0, 1), 1);
    ASSERT_EQ(QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(h, 3, 1), 1);
    ASSERT_EQ(QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(h, 3, 0), 1);
    EXPECT_EQ(chip().charger_switch, (std::map<int, bool>{{0, true}, {3, false}}));
}

TEST_F(Pmic, RtStatusIsWhatTheTestSet) {
    chip().rt_status[11] = 1;
    unsigned char s = 0xEE;
    ASSERT_EQ(QLIB_FTM_PMIC_INT_GET_RT_STATUS(h, 11, &s), 1);
    EXPECT_EQ(s, 1);
    s = 0xEE;
    ASSERT_EQ(QLIB_FTM_PMIC_INT_GET_RT_STATUS(h, 12, &s), 1);
    EXPECT_EQ(s, 0);
}

TEST_F(Pmic, RtcKeepsWhatWasWrittenAndReadsItBack) {
    ASSERT_EQ(rtcWrite(h), 1);
    EXPECT_EQ(chip().rtc, (qmsl_sim::RtcTime{2, 3, 7, 2006, 14, 5, 9}));
    pclock::sleep_ms(60000);  // the stand-in's clock does not run
    unsigned char mode = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    unsigned short year = 0;
    ASSERT_EQ(QLIB_FTM_PMIC_RTC_SET_GET_TIME(h, 1, &mode, &month, &day, &year, &hour, &minute, &second), 1);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(month, 3);
    EXPECT_EQ(day, 7);
    EXPECT_EQ(year, 2006);
    EXPECT_EQ(hour, 14);
    EXPECT_EQ(minute, 5);
    EXPECT_EQ(second, 9);
    EXPECT_EQ(chip().rtc, (qmsl_sim::RtcTime{2, 3, 7, 2006, 14, 5, 9}));  // a read changes nothing
}

TEST_F(Pmic, RtcWithANullPointerFails) {
    unsigned char b = 0;
    unsigned short year = 2006;
    EXPECT_EQ(QLIB_FTM_PMIC_RTC_SET_GET_TIME(h, 0, &b, &b, &b, &year, &b, nullptr, &b), 0);
    EXPECT_EQ(chip().rtc, qmsl_sim::RtcTime{});
}

TEST_F(Pmic, ChargerLimitsKeepTheCodes) {
    ASSERT_EQ(QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS(h, 29, 15), 1);
    ASSERT_TRUE(chip().charger_limits.has_value());
    EXPECT_EQ(chip().charger_limits->current_code, 29);
    EXPECT_EQ(chip().charger_limits->voltage_code, 15);
}

} // namespace
