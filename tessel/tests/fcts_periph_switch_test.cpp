// Supplies, charger switches, the UART, fuel-gauge and mute switches, the
// real-time clock and the charger limits: what each reaches on the phone.
#include "TesselFctsFixture.h"
#include "qmsl_pmic_sim.h"

#include <ctime>
#include <functional>

namespace {

using Calls = std::vector<std::string>;

class PeriphSwitch : public TesselFcts {
protected:
    // The power-management and switch calls that reached the phone, as
    // "name a,b" (the extension switch command as "CONFIGURE_SWITCH id,state").
    static Calls calls() {
        Calls c;
        for (const auto& j : phone().journal) {
            if (j.fn.rfind("QLIB_FTM_PMIC", 0) == 0 || j.fn == "QLIB_FTM_SET_PMIC_DRIVE_LEVEL") {
                std::string text = j.fn.substr(9) + " ";
                for (std::size_t i = 0; i < j.args.size(); ++i) text += (i ? "," : "") + std::to_string(j.args[i]);
                c.push_back(text);
            } else if (j.fn == "QLIB_SendSync" && j.bytes.size() >= 13 && j.bytes[0] == 0x4B && j.bytes[4] == 14) {
                c.push_back("CONFIGURE_SWITCH " + std::to_string(j.bytes[10] | j.bytes[11] << 8) + "," +
                            std::to_string(j.bytes[12]));
            }
        }
        return c;
    }
};

struct SwitchCase {
    const char* name;
    std::function<int(int)> run;
    Calls calls;
};

const SwitchCase kSwitches[] = {
    {"LcdOn", [](int s) { return _Tessel_SpecialSwitchLCD(s, 1, "t.c", 1); }, {"SET_PMIC_DRIVE_LEVEL 0,15"}},
    {"LcdOff", [](int s) { return _Tessel_SpecialSwitchLCD(s, 0, "t.c", 1); }, {"SET_PMIC_DRIVE_LEVEL 0,0"}},
    {"VibraOn", [](int s) { return _Tessel_SpecialSwitchVibra(s, 7, "t.c", 1); }, {"SET_PMIC_DRIVE_LEVEL 2,31"}},
    {"VibraOff", [](int s) { return _Tessel_SpecialSwitchVibra(s, 0, "t.c", 1); }, {"SET_PMIC_DRIVE_LEVEL 2,0"}},
    {"SimSupplyOn", [](int s) { return _Tessel_SpecialSwitchSimSupply(s, 1, "t.c", 1); },
     {"PMIC_VREG_CONTROL 1,524288", "PMIC_VREG_SET_LEVEL 19,3000"}},
    {"SimSupplyOff", [](int s) { return _Tessel_SpecialSwitchSimSupply(s, 0, "t.c", 1); },
     {"PMIC_VREG_CONTROL 0,524288"}},
    {"BluetoothCycle", [](int s) { return _Tessel_SpecialBluetoothPwrCycle(s, "t.c", 1); },
     {"PMIC_VREG_CONTROL 0,32768", "PMIC_VREG_CONTROL 1,32768"}},
    {"WallChargerOn", [](int s) { return _Tessel_SpecialSetChargeFetState(s, 0, 1, "t.c", 1); },
     {"PMIC_CHG_SET_SWITCH_STATE 0,1"}},
    {"BatteryTransistorOff", [](int s) { return _Tessel_SpecialSetChargeFetState(s, 1, 0, "t.c", 1); },
     {"PMIC_CHG_SET_SWITCH_STATE 1,0"}},
    {"ChargeAppOn", [](int s) { return _Tessel_SpecialSetChargeAppState(s, 1, "t.c", 1); },
     {"PMIC_CHG_SET_SWITCH_STATE 7,1"}},
    {"VCollapseOff", [](int s) { return _Tessel_SpecialSetVCollapseProtectionState(s, 0, "t.c", 1); },
     {"PMIC_CHG_SET_SWITCH_STATE 3,0"}},
    {"UartOnClearsTheSwitch", [](int s) { return _Tessel_SpecialSwitchUart(s, 1, "t.c", 1); },
     {"CONFIGURE_SWITCH 0,0"}},
    {"UartOffSetsTheSwitch", [](int s) { return _Tessel_SpecialSwitchUart(s, 0, "t.c", 1); },
     {"CONFIGURE_SWITCH 0,1"}},
    {"FuelGauge", [](int s) { return _Tessel_SpecialSwitchFuelGauge(s, "t.c", 1); }, {"CONFIGURE_SWITCH 2,1"}},
    {"MuteOn", [](int s) { return _Tessel_SpecialSetAudioMuting(s, 1, "t.c", 1); }, {"CONFIGURE_SWITCH 3,1"}},
    {"MuteOff", [](int s) { return _Tessel_SpecialSetAudioMuting(s, 0, "t.c", 1); }, {"CONFIGURE_SWITCH 3,0"}},
};

class EachSwitch : public PeriphSwitch, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(EachSwitch, MakesItsCalls) {
    const int s = connected();
    EXPECT_EQ(GetParam().run(s), 0);
    EXPECT_EQ(calls(), GetParam().calls);
}

TEST_P(EachSwitch, UnconnectedFailsWithoutACall) {
    const int s = openSession();
    tracer_test::clear_lines();
    EXPECT_EQ(GetParam().run(s), kLib);
    EXPECT_TRUE(calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Switches, EachSwitch, ::testing::ValuesIn(kSwitches),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphSwitch, LcdTracesTheDriveLevel) {
    const int s = connected();
    ASSERT_EQ(_Tessel_SpecialSwitchLCD(s, 1, "t.c", 1), 0);
    EXPECT_TRUE(hasLine("_Tessel_SpecialSwitchLCD( Handle="));
    EXPECT_TRUE(hasLine(" QLIB_FTM_SET_PMIC_DRIVE_LEVEL(0,15)"));
}

TEST_F(PeriphSwitch, SwitchCallsFailingAreReported) {
    const int s = connected();
    phone().inject("QLIB_FTM_SET_PMIC_DRIVE_LEVEL", {});
    EXPECT_EQ(_Tessel_SpecialSwitchVibra(s, 1, "t.c", 1), kLib);
}

TEST_F(PeriphSwitch, SimSupplyOnSetsTheLevelAfterAFailedSwitch) {
    const int s = connected();
    phone().inject("QLIB_FTM_PMIC_VREG_CONTROL", {});
    EXPECT_EQ(_Tessel_SpecialSwitchSimSupply(s, 1, "t.c", 1), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_PMIC_VREG_SET_LEVEL"), 1u);
}

TEST_F(PeriphSwitch, BluetoothCycleWaitsAndSwitchesOnAfterAFailedOff) {
    const int s = connected();
    phone().inject("QLIB_FTM_PMIC_VREG_CONTROL", qmsl_sim::Fault{.times = 1});
    EXPECT_EQ(_Tessel_SpecialBluetoothPwrCycle(s, "t.c", 1), kLib);
    const auto c = phone().calls("QLIB_FTM_PMIC_VREG_CONTROL");
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[1].at_ms - c[0].at_ms, 250);
    EXPECT_TRUE(qmsl_sim::pmic(phone()).vregs_on & 0x8000);
}

TEST_F(PeriphSwitch, OtherChargerSwitchesAreOutOfRange) {
    const int s = connected();
    EXPECT_EQ(_Tessel_SpecialSetChargeFetState(s, 2, 1, "t.c", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_SpecialSetChargeFetState(s, -1, 1, "t.c", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_TRUE(calls().empty());
}

struct FetReadCase {
    const char* name;
    int iSwitch;
    int iInterrupt;  // the phone's real-time status of interrupt 11
    int iStatus;
    short sState;
};

const FetReadCase kFetReads[] = {
    {"TransistorOn", 1, 1, 0, 1},
    {"TransistorOff", 1, 0, 0, 0},
    {"OtherStatusIsOff", 1, 2, 0, 0},
    {"WallChargerCannotBeRead", 0, 1, TESSEL_ERROR_PARAMETER2, 0},
};

class FetRead : public PeriphSwitch, public ::testing::WithParamInterface<FetReadCase> {};

TEST_P(FetRead, ReadsTheInterruptStatus) {
    const FetReadCase& c = GetParam();
    const int s = connected();
    qmsl_sim::pmic(phone()).rt_status[11] = static_cast<std::uint8_t>(c.iInterrupt);
    short sState = 7;
    EXPECT_EQ(_Tessel_SpecialGetChargeFetState(s, c.iSwitch, &sState, "t.c", 1), c.iStatus);
    EXPECT_EQ(sState, c.sState);
    EXPECT_EQ(phone().count("QLIB_FTM_PMIC_INT_GET_RT_STATUS"), c.iSwitch == 1 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(ChargeFet, FetRead, ::testing::ValuesIn(kFetReads),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphSwitch, RealTimeClockGetsTheLocalTime) {
    const int s = connected();
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(_Tessel_SpecialSetRtcActualTime(s, "t.c", 1), 0);
    const std::time_t after = std::time(nullptr);
    const qmsl_sim::RtcTime& rtc = qmsl_sim::pmic(phone()).rtc;
    EXPECT_EQ(rtc.mode, 2);
    std::tm set{};
    set.tm_year = rtc.year - 1900;
    set.tm_mon = rtc.month - 1;
    set.tm_mday = rtc.day;
    set.tm_hour = rtc.hour;
    set.tm_min = rtc.minute;
    set.tm_sec = rtc.second;
    set.tm_isdst = -1;
    const std::time_t written = std::mktime(&set);
    EXPECT_GE(written, before);
    EXPECT_LE(written, after);
}

struct LimitCase {
    const char* name;
    unsigned short usVoltage, usCurrent;
    int iStatus;
    int iCurrentCode, iVoltageCode;  // -1: no call
};

const LimitCase kLimits[] = {
    {"AtTheTop", 4375, 300, 0, 29, 15},
    {"AtTheBottom", 4000, 10, 0, 0, 0},
    {"CodesRoundDown", 4049, 29, 0, 1, 1},
    {"VoltageAbove", 4376, 300, TESSEL_ERROR_PARAMETER2, -1, -1},
    {"VoltageBelow", 3999, 100, TESSEL_ERROR_PARAMETER2, -1, -1},
    {"CurrentAbove", 4100, 301, TESSEL_ERROR_PARAMETER2, -1, -1},
    {"CurrentBelow", 4100, 9, TESSEL_ERROR_PARAMETER2, -1, -1},
};

class ChargeLimits : public PeriphSwitch, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(ChargeLimits, SendsCodesWithinTheRange) {
    const LimitCase& c = GetParam();
    const int s = connected();
    EXPECT_EQ(_Tessel_SpecialSetPmicChargeLimits(s, c.usVoltage, c.usCurrent, "t.c", 1), c.iStatus);
    const auto& limits = qmsl_sim::pmic(phone()).charger_limits;
    if (c.iCurrentCode < 0) {
        EXPECT_FALSE(limits.has_value());
        EXPECT_TRUE(hasLine("_Tessel_SpecialSetPmicChargeLimits( Handle=") && hasLine(" : Parameter out of range."));
    } else {
        ASSERT_TRUE(limits.has_value());
        EXPECT_EQ(limits->current_code, c.iCurrentCode);
        EXPECT_EQ(limits->voltage_code, c.iVoltageCode);
    }
}

INSTANTIATE_TEST_SUITE_P(Bounds, ChargeLimits, ::testing::ValuesIn(kLimits),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
