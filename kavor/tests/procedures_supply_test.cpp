// The supply switches and the contrast patterns.
#include "peripheral_support.h"

namespace {

constexpr std::uint32_t bit(unsigned n) { return 1u << n; }
constexpr std::uint32_t kSecond = 0x8400015C, kAcc = 0x84000164, kCamera8 = 0x84000160;

class Supply : public ProcedureTest {
protected:
    qmsl_sim::MemoryMap& mem() { return qmsl_sim::memory(phone()); }
};

struct SupplyCase {
    const char* name;
    unsigned model;
    unsigned char camera, level, second, acc;
    std::vector<int> commands;  // extension-FTM commands: 14 switch, 30 backlight
    // Registers afterwards (all start at 0, the second supply register at 0xFFFFFFFF).
    std::uint32_t camera8, secondSupply, accSupply;
    bool ok;
};
void PrintTo(const SupplyCase& c, std::ostream* os) { *os << c.name; }

class SupplyVoltage : public Supply, public ::testing::WithParamInterface<SupplyCase> {};

TEST_P(SupplyVoltage, RunsTheStepsOfTheModel) {
    const SupplyCase& c = GetParam();
    periphtest::usePhoneModel(phone(), c.model);
    mem().preset(kSecond, 0xFFFFFFFF);
    mem().preset(kAcc, c.acc ? 0 : bit(19) | 1);
    EXPECT_EQ(KAVOR_SupplyVoltageTest(h, c.camera, c.level, c.second, c.acc), c.ok ? 1 : 0);
    EXPECT_EQ(periphtest::ftmCommands(phone()), c.commands);
    EXPECT_EQ(mem().read(kCamera8, 1), c.camera8);
    EXPECT_EQ(mem().read(kSecond), c.secondSupply);
    EXPECT_EQ(mem().read(kAcc), c.accSupply);
}

constexpr std::uint32_t kUntouched = 0xFFFFFFFF;
INSTANTIATE_TEST_SUITE_P(
    Models, SupplyVoltage,
    ::testing::Values(
        SupplyCase{"Model13AllOn", 13, 0, 5, 1, 1, {14, 30}, 0x10, kUntouched, bit(19), true},
        SupplyCase{"Model15SecondTwoSetsLikeOne", 15, 1, 5, 2, 1, {14, 30}, 0x10, kUntouched, bit(19), true},
        SupplyCase{"Model34SecondThreeClears", 34, 0, 5, 3, 1, {14, 30}, 0x10, ~bit(29), bit(19), true},
        SupplyCase{"Model36SecondZeroClears", 36, 0, 5, 0, 1, {14, 30}, 0x10, ~bit(29), bit(19), true},
        SupplyCase{"Model40AccOffClearsOnlyItsBit", 40, 0, 5, 1, 0, {14, 30}, 0x10, kUntouched, 1, true},
        SupplyCase{"Model23SkipsTheCameraRegisters", 23, 0, 5, 1, 1, {14, 30}, 0, kUntouched, bit(19), true},
        SupplyCase{"Model25AccOff", 25, 1, 5, 1, 0, {14, 30}, 0, kUntouched, 1, true},
        SupplyCase{"Model52SwitchAndBacklightOnly", 52, 0, 5, 1, 1, {14, 30}, 0, kUntouched, 0, true},
        SupplyCase{"Model3Unsupported", 3, 0, 5, 1, 1, {}, 0, kUntouched, 0, false},
        SupplyCase{"UnknownModel", 0, 0, 5, 1, 1, {}, 0, kUntouched, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Supply, SupplyLines) {
    periphtest::usePhoneModel(phone(), 13);
    EXPECT_EQ(KAVOR_SupplyVoltageTest(h, 1, 7, 2, 1), 1);
    for (const char* line : {"\tKAVOR_Phone_Model() - Completed successfully\n",
                             "\tKAVOR_FTM_CONFIGURE_SWITCH(iSwitchID = 1, iSwitchState = 1) - Completed successfully\n",
                             "\tKAVOR_SetBitState_8_Reg(iAddress = <ptr> + 0, iMask = <ptr>, bOnOff = 1) - Completed successfully\n",
                             "\tKAVOR_SetBitState_32_Reg(iAddress = <ptr>, iMask = <ptr>, bOnOff = 1) - Completed successfully\n",
                             "\tKAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(iLevel = 7) - Completed successfully\n"})
        EXPECT_TRUE(logged(line)) << line;
    EXPECT_EQ(countLogged("\tKAVOR_SetBitState_32_Reg(iAddress = <ptr>, iMask = <ptr>, bOnOff = 1) - Completed"), 2u);
}

TEST_F(Supply, WrongCameraNumberBeforeAnyPhoneAccess) {
    periphtest::usePhoneModel(phone(), 13);
    EXPECT_EQ(KAVOR_SupplyVoltageTest(h, 2, 5, 1, 1), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tWrong camera number - Failure\n"});
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 0u);
    EXPECT_EQ(phone().count("QLIB_SendSync"), 0u);
}

TEST_F(Supply, UnsupportedModelEndsWithoutALine) {
    periphtest::usePhoneModel(phone(), 3);
    EXPECT_EQ(KAVOR_SupplyVoltageTest(h, 0, 5, 1, 1), 0);
    EXPECT_EQ(log().back(), "\tKAVOR_Phone_Model() - Completed successfully\n");
}

TEST_F(Supply, Model52FallsBackToTheCameraPins) {
    periphtest::usePhoneModel(phone(), 52);
    qmsl_sim::ext_ftm(phone()).statuses[{qmsl_sim::kExtFtmGroup, 14}] = 1;
    EXPECT_EQ(KAVOR_SupplyVoltageTest(h, 1, 5, 0, 0), 1);
    EXPECT_EQ(periphtest::ftmCommands(phone()), (std::vector<int>{14, 30}));
    EXPECT_EQ(periphtest::dwordPokes(phone()).size(), 8u);  // the camera-1 pin sequence
    EXPECT_TRUE(logged("\tKAVOR_FTM_CONFIGURE_SWITCH(iSwitchID = 1, iSwitchState = 1) - Failure\n"));
    EXPECT_TRUE(logged("\tKAVOR_FTM_TARV_CAMERA_SWITCH(iCameraNum = 1) - Completed successfully\n"));
}

TEST_F(Supply, OtherModelsStopAtAFailedSwitch) {
    periphtest::usePhoneModel(phone(), 34);
    qmsl_sim::ext_ftm(phone()).statuses[{qmsl_sim::kExtFtmGroup, 14}] = 1;
    EXPECT_EQ(KAVOR_SupplyVoltageTest(h, 1, 5, 0, 0), 0);
    EXPECT_EQ(periphtest::ftmCommands(phone()), std::vector<int>{14});
    EXPECT_EQ(phone().count("QLIB_DIAG_MEMORY_POKE_DWORD_F"), 0u);
}

TEST_F(Supply, StopsAtARegisterThatDoesNotFollow) {
    periphtest::usePhoneModel(phone(), 13);
    mem().preset(kSecond, 0xFFFFFFFF);
    mem().ignore_pokes(kSecond);
    EXPECT_EQ(KAVOR_SupplyVoltageTest(h, 0, 5, 0, 1), 0);
    EXPECT_EQ(log().back(), "\tKAVOR_SetBitState_32_Reg(iAddress = <ptr>, iMask = <ptr>, bOnOff = 0) - Failure\n");
    EXPECT_EQ(periphtest::ftmCommands(phone()), std::vector<int>{14});
}

struct AccCase {
    const char* name;
    unsigned model;
    unsigned char on;
    bool ok;
    std::uint32_t after;  // from bit 0 set
};
void PrintTo(const AccCase& c, std::ostream* os) { *os << c.name; }

class AccSupply : public Supply, public ::testing::WithParamInterface<AccCase> {};

TEST_P(AccSupply, SwitchesBit19OnTheModelsThatHaveIt) {
    periphtest::usePhoneModel(phone(), GetParam().model);
    mem().preset(kAcc, 1);
    EXPECT_EQ(KAVOR_SpecialSwitchAccSupplyVoltage(h, GetParam().on), GetParam().ok ? 1 : 0);
    EXPECT_EQ(mem().read(kAcc), GetParam().after);
    if (!GetParam().ok) {
        EXPECT_EQ(log().back(), "\tKAVOR_Phone_Model() - Completed successfully\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Models, AccSupply,
                         ::testing::Values(AccCase{"Model13On", 13, 1, true, bit(19) | 1},
                                           AccCase{"Model24On", 24, 1, true, bit(19) | 1},
                                           AccCase{"Model35On", 35, 1, true, bit(19) | 1},
                                           AccCase{"Model40Off", 40, 0, true, 1},
                                           AccCase{"Model52Refused", 52, 1, false, 1},
                                           AccCase{"Model3Refused", 3, 1, false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Supply, AccSupplyChecksTheHandleFirst) {
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(KAVOR_SpecialSwitchAccSupplyVoltage(h, 1), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
}

// --- contrast patterns -----------------------------------------------------------------

struct PatternCase {
    const char* name;
    bool wide;  // the 24-bit variant
    unsigned model;
    unsigned char display;
    bool ok;
    std::vector<int> commands;  // 200 display switch, 23 image, 201 24-bit image
};
void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.name; }

class ContrastPattern : public Supply, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(ContrastPattern, SwitchesTheDisplayThenShowsTheImage) {
    const PatternCase& c = GetParam();
    periphtest::usePhoneModel(phone(), c.model);
    const unsigned char ok = c.wide ? KAVOR_FTM_DrawContrastPattern24Bit(h, "pattern.bmp", c.display)
                                    : KAVOR_FTM_DrawContrastPattern(h, "pattern.bmp", c.display);
    EXPECT_EQ(ok, c.ok ? 1 : 0);
    EXPECT_EQ(periphtest::ftmCommands(phone()), c.commands);
    const std::string display = "\tKAVOR_SpecialSwitchDisplay(uiDsplNum = " + std::to_string(c.display) + ")";
    EXPECT_TRUE(logged(display + (c.ok ? " - Completed successfully\n" : " - Failure\n")));
    if (c.ok) {
        EXPECT_EQ(log().back(), std::string(c.wide ? "\tKAVOR_FTM_DISPLAY_IMAGE_24BIT" : "\tKAVOR_FTM_DISPLAY_IMAGE") +
                                    "(sFileName = pattern.bmp) - Completed successfully\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ContrastPattern,
                         ::testing::Values(PatternCase{"Model34Display1", false, 34, 1, true, {200, 23}},
                                           PatternCase{"Model34Display1Wide", true, 34, 1, true, {200, 201}},
                                           PatternCase{"Model52Display0NeedsNoSwitch", false, 52, 0, true, {23}},
                                           PatternCase{"Model52Display1Refused", true, 52, 1, false, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
