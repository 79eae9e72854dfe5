// The register-bit helpers, the keypad switch and the light levels per phone
// type and light type.
#include "TesselFcts.h"
#include "TesselFctsFixture.h"
#include "qmsl_memory_sim.h"

#include <cstdio>
#include <functional>

namespace {

using Effects = std::vector<std::string>;

class Light : public TesselFcts {
protected:
    static qmsl_sim::MemoryMap& memory() { return qmsl_sim::memory(phone()); }

    // What reached the phone's lights, in order: LCD level and switch,
    // keypad rows and display switch of the extension commands, the PMIC
    // sinks and the memory pokes (width, address, value).
    static Effects effects() {
        Effects e;
        char text[64];
        for (const auto& j : phone().journal) {
            if (j.fn == "QLIB_SendSync" && j.bytes.size() > 10 && j.bytes[0] == 0x4B && j.bytes[1] == 0x0B) {
                const unsigned id = j.bytes[4] | j.bytes[5] << 8;
                const unsigned v = j.bytes[10];
                if (id == 30) std::snprintf(text, sizeof text, "level %u", v);
                else if (id == 151) std::snprintf(text, sizeof text, "switch %u", v);
                else if (id == 245) std::snprintf(text, sizeof text, "row %u %u", v / 10, v % 10);
                else if (id == 200) std::snprintf(text, sizeof text, "display %u", v);
                else continue;
            } else if (j.fn == "QLIB_FTM_SET_PMIC_DRIVE_LEVEL") {
                std::snprintf(text, sizeof text, "pmic %lld %lld", j.args.at(0), j.args.at(1));
            } else if (j.fn.rfind("QLIB_DIAG_MEMORY_POKE", 0) == 0) {
                std::uint32_t v = 0;
                for (std::size_t b = 0; b < j.bytes.size(); ++b) v |= std::uint32_t(j.bytes[b]) << (8 * b);
                std::snprintf(text, sizeof text, "poke%lld %08llX %X", j.args.at(2) * 8, j.args.at(0), v);
            } else {
                continue;
            }
            e.push_back(text);
        }
        return e;
    }
};

// --- register bits ----------------------------------------------------------------

TEST_F(Light, SetBitClearsOneBitAndReadsItBack) {
    const int s = connected();
    memory().preset(0x84000160, 0x0F, 1);
    EXPECT_EQ(SetBitState_8_Reg(s, 0x84000160, 0x04, 0), 1);
    EXPECT_EQ(memory().read(0x84000160, 1), 0x0Bu);
    EXPECT_TRUE(hasLine("[_SetBitState_8_Reg(ADDR=0x84000160, MASK=0x04, BIT=OFF)]"));
    EXPECT_EQ(SetBitState_16_Reg(s, 0x48000008, 0x10, 1), 1);
    EXPECT_EQ(memory().read(0x48000008, 2), 0x10u);
    EXPECT_EQ(SetBitState_32_Reg(s, 0x8400015C, 1u << 29, 1), 1);
    EXPECT_EQ(memory().read(0x8400015C, 4), 1u << 29);
    EXPECT_TRUE(hasLine("[_SetBitState_32_Reg(ADDR=0x8400015C, MASK=0x20000000, BIT=ON)]"));
}

TEST_F(Light, SetBitFailuresNameTheCallOrTheMismatch) {
    const int s = connected();
    phone().inject("QLIB_DIAG_MEMORY_PEEK_WORD_F", qmsl_sim::Fault{qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(SetBitState_16_Reg(s, 0x48000008, 0x10, 1), 0);
    EXPECT_TRUE(hasLine("[QLIB_DIAG_MEMORY_PEEK_WORD_F failed.]"));
    phone().inject("QLIB_DIAG_MEMORY_POKE_DWORD_F", qmsl_sim::Fault{qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(SetBitState_32_Reg(s, 0x8400015C, 1, 1), 0);
    EXPECT_TRUE(hasLine("[QLIB_DIAG_MEMORY_POKE_DWORD_F failed.]"));
    memory().ignore_pokes(0x84000160, 1);
    EXPECT_EQ(SetBitState_8_Reg(s, 0x84000160, 0x10, 1), 0);
    EXPECT_TRUE(hasLine("[POKE->PEEK no match.]"));
    EXPECT_EQ(SetBitState_8_Reg(13, 0x84000160, 0x10, 1), 0);
}

TEST_F(Light, GetBitReadsTheMaskedBits) {
    const int s = connected();
    memory().preset(0x84000164, 0x00080000, 4);
    short state = -1;
    EXPECT_EQ(GetBitState_32_Reg(s, 0x84000164, 0x80000, &state), 1);
    EXPECT_EQ(state, 1);
    EXPECT_TRUE(hasLine("[_GetBitState_32_Reg(ADDR=0x84000164, MASK=0x00080000)]"));
    EXPECT_TRUE(hasLine("[REG=0x00080000]"));
    EXPECT_EQ(GetBitState_8_Reg(s, 0x84000164, 0x01, &state), 1);
    EXPECT_EQ(state, 0);
    EXPECT_TRUE(hasLine("[_GetBitState_8_Reg(ADDR=0x84000164, MASK=0x01)]"));
    phone().inject("QLIB_DIAG_MEMORY_PEEK_F", qmsl_sim::Fault{});
    EXPECT_EQ(GetBitState_8_Reg(s, 0x84000164, 0x01, &state), 0);
    EXPECT_TRUE(hasLine("[QLIB_DIAG_MEMORY_PEEK_F failed.]"));
}

// --- keypad sink and PWM level ---------------------------------------------------------

TEST_F(Light, KeypadSinkOnAndOff) {
    const int s = connected();
    EXPECT_EQ(_Tessel_SpecialSwitchKeypad(s, 1, "k.c", 1), 0);
    EXPECT_EQ(_Tessel_SpecialSwitchKeypad(s, 0, "k.c", 2), 0);
    EXPECT_EQ(effects(), (Effects{"pmic 1 15", "pmic 1 0"}));
    phone().inject("QLIB_FTM_SET_PMIC_DRIVE_LEVEL", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_SpecialSwitchKeypad(s, 1, "k.c", 3), kLib);
    EXPECT_EQ(_Tessel_SpecialSwitchKeypad(openSession(), 1, "k.c", 4), kLib);
}

TEST_F(Light, PwmLevelIsScaledToEighty) {
    const int s = connected();
    EXPECT_EQ(_Tessel_FtmSetPwmLightLevel(s, 100, "p.c", 1), 0);
    EXPECT_EQ(_Tessel_FtmSetPwmLightLevel(s, 1, "p.c", 2), 0);
    EXPECT_EQ(_Tessel_FtmSetPwmLightLevel(s, 57, "p.c", 3), 0);
    EXPECT_EQ(effects(), (Effects{"level 80", "level 0", "level 45"}));
    EXPECT_TRUE(hasLine("_Tessel_FtmSetPwmLightLevel( Handle=" + std::to_string(handleOf(s)) +
                        ", iLevel=57[percent], iL2Lev=45) Sess=1"));
    EXPECT_EQ(_Tessel_FtmSetPwmLightLevel(openSession(), 100, "p.c", 4), kLib);
}

// --- backlight level by phone type ------------------------------------------------------

struct LightCase {
    std::string name;
    int phoneType;
    int lightType;
    int percent;
    Effects effects;
    int status = 0;
    std::function<void()> setup = {};
};
void PrintTo(const LightCase& c, std::ostream* os) { *os << c.name; }

class Backlight : public Light, public ::testing::WithParamInterface<LightCase> {};

TEST_P(Backlight, SwitchesTheLightsOfThePhoneType) {
    const LightCase& c = GetParam();
    const int s = connected();
    if (c.phoneType == 6) identifyAsModel(52);
    if (c.phoneType == 9) identifyAsModel(3);
    if (c.setup) c.setup();
    _Tessel_SetMobModel(s, c.phoneType, "b.c", 1);
    phone().clear_journal();
    EXPECT_EQ(_Tessel_FtmSetBacklightLevel(s, c.percent, c.lightType, "b.c", 2), c.status);
    EXPECT_EQ(effects(), c.effects);
    EXPECT_EQ(hasLine("[ERROR: Mobile type not supported.]"), c.effects.empty() && c.status != 0);
}

const int kL = TESSEL_ERROR_LIBRARY;
void ftmStatus(std::uint16_t id) { qmsl_sim::ext_ftm(qmsl_sim::phone(3)).statuses[{qmsl_sim::kExtFtmGroup, id}] = 1; }
void pmicFails() { qmsl_sim::phone(3).inject("QLIB_FTM_SET_PMIC_DRIVE_LEVEL", qmsl_sim::Fault{}); }
const std::string kRow7On = "poke32 84000150 2000", kRow7Out = "poke32 8400015C 2000";

INSTANTIATE_TEST_SUITE_P(
    Types, Backlight,
    ::testing::Values(
        LightCase{"Brenvel5Full", 0, 0, 100, {"level 80"}},
        LightCase{"Brenvel5OnePercentIsOff", 0, 1, 1, {"level 0"}},
        LightCase{"Brenvel5UnknownLightStillSends", 0, 3, 50, {"level 40"}, kL},
        LightCase{"Brenvel5LevelRefused", 0, 0, 50, {"level 40"}, kL, [] { ftmStatus(30); }},
        LightCase{"Brenvel4Keypad", 1, 1, 100, {"poke8 84000160 10", "poke32 8400015C 20000000", "level 80"}},
        LightCase{"Brenvel4LcdKeepsGpio36High", 1, 0, 0, {"poke8 84000160 10", "poke32 8400015C 0", "level 0"}},
        LightCase{"Brenvel4UnknownLight", 1, 5, 100, {"poke8 84000160 10", "poke32 8400015C 0", "level 80"}, kL},
        LightCase{"LurvinLcd", 4, 0, 100, {"poke8 84000160 10"}},
        LightCase{"LurvinKeypadOff", 4, 1, 0, {"poke32 8400015C 0"}},
        LightCase{"LurvinBoth", 4, 2, 100, {"poke8 84000160 10", "poke32 8400015C 20000000", "poke16 48000008 10"}},
        LightCase{"HubrelSubLight", 10, 8, 100, {"poke16 48000008 10"}},
        LightCase{"LurvinOtherLight", 4, 3, 100, {}, kL},
        LightCase{"TarvLcd", 6, 0, 100, {"row 5 1"}},
        LightCase{"TarvKeypadRows", 6, 1, 100, {"row 1 1", "row 2 1", "row 3 1", "row 4 1"}},
        // The first row fails before its request (the phone does not answer
        // the model query); the other rows are still switched.
        LightCase{"TarvRowFailureGoesOn", 6, 1, 100, {"row 2 1", "row 3 1", "row 4 1"}, kL,
                  [] { qmsl_sim::phone(3).inject("QLIB_SendSync", qmsl_sim::Fault{qmsl_sim::Fault::NoReply, 0, {}, 0, 1}); }},
        LightCase{"TarvType7", 6, 7, 0, {"row 6 0"}},
        LightCase{"TarvType8BothRows", 6, 8, 100, {"row 5 1", "row 6 1"}},
        LightCase{"TarvType8SecondOnlyAfterFirst", 6, 8, 100, {"row 5 1"}, kL, [] { ftmStatus(245); }},
        LightCase{"TarvOtherLight", 6, 9, 100, {}, kL},
        LightCase{"GastolLcd", 8, 0, 100, {"switch 1"}},
        LightCase{"GastolKeypad", 8, 1, 0, {"pmic 1 0"}},
        LightCase{"GastolBoth", 8, 2, 100, {"switch 1", "pmic 1 15"}},
        LightCase{"GastolFailedLcdIsNotHiddenByKeypad", 8, 2, 100, {"switch 1", "pmic 1 15"}, kL, [] { ftmStatus(151); }},
        LightCase{"GastolFailedKeypad", 8, 1, 100, {"pmic 1 15"}, kL, pmicFails},
        LightCase{"GastolOtherLight", 8, 4, 100, {}, kL},
        LightCase{"PaldenLcd", 9, 0, 100, {"display 0", "level 80"}},
        LightCase{"PaldenLcdOff", 9, 0, 1, {"display 0", "level 0"}},
        LightCase{"PaldenKeypad", 9, 1, 100, {kRow7On, kRow7Out}},
        LightCase{"PaldenAll", 9, 2, 100,
                  {"display 0", "level 80", "display 1", "level 80", "pmic 1 15", kRow7On, kRow7Out}},
        LightCase{"PaldenAllStopsAtTheFirstFailure", 9, 2, 100, {"display 0", "level 80", "display 1", "level 80", "pmic 1 15"},
                  kL, pmicFails},
        LightCase{"PaldenOutsideKeypad", 9, 7, 100, {"pmic 1 15"}},
        LightCase{"PaldenType8", 9, 8, 100, {"pmic 1 15", "display 1", "level 80"}},
        LightCase{"PaldenType8StopsAfterGpio", 9, 8, 100, {"pmic 1 15"}, kL, pmicFails},
        LightCase{"PaldenSubDisplay", 9, 9, 0, {"display 1", "level 0"}},
        LightCase{"PaldenOtherLight", 9, 3, 100, {}, kL},
        LightCase{"Vk10NotSupported", 2, 0, 100, {}, kL},
        LightCase{"Vk16NotSupported", 3, 0, 100, {}, kL},
        LightCase{"SabbetNotSupported", 5, 0, 100, {}, kL},
        LightCase{"YenkNotSupported", 7, 0, 100, {}, kL},
        LightCase{"UnknownTypeNotSupported", 11, 0, 100, {}, kL},
        LightCase{"StoredTypeOutOfRange", 42, 0, 100, {}, kL}),
    [](const ::testing::TestParamInfo<LightCase>& i) { return i.param.name; });

TEST_F(Light, BacklightTracesBothLevelsAndNeedsAConnection) {
    const int s = connected();
    _Tessel_SetMobModel(s, 0, "b.c", 1);
    tracer_test::clear_lines();
    EXPECT_EQ(_Tessel_FtmSetBacklightLevel(s, 100, 0, "b.c", 9), 0);
    EXPECT_EQ(lines().front(), "(3C)    _Tessel_FtmSetBacklightLevel( Handle=" + std::to_string(handleOf(s)) +
                                   ", iLevel=100[percent], iL2Lev=80, eLightType=0 ) Sess=1 in File \"b.c\" Line 9");
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_FtmSetBacklightLevel() = 0 (SUCCESS) ");
    const int t = openSession();
    _Tessel_SetMobModel(t, 0, "b.c", 1);
    phone().clear_journal();
    EXPECT_EQ(_Tessel_FtmSetBacklightLevel(t, 100, 0, "b.c", 2), kLib);
    EXPECT_TRUE(effects().empty());
}

TEST_F(Light, Brenvel4TracesItsPins) {
    const int s = connected();
    _Tessel_SetMobModel(s, 1, "b.c", 1);
    EXPECT_EQ(_Tessel_FtmSetBacklightLevel(s, 100, 0, "b.c", 2), 0);
    EXPECT_TRUE(hasLine("(3I)    [GPIO36 -> HIGH]"));
    EXPECT_TRUE(hasLine("(3I)    [GPIO29 -> FALSE]"));
}

} // namespace
