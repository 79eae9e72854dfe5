// Register bits, the keypad backlight through the processor's pins and the
// display switch.
#include "phone_model_support.h"
#include "procedures_fixture.h"
#include "qmsl_memory_sim.h"

#include <map>
#include <set>

namespace {

class Peripheral : public ProcedureTest {
protected:
    qmsl_sim::MemoryMap& mem() { return qmsl_sim::memory(phone()); }
    // Every 32-bit register a poke reached, with what it holds now.
    std::map<std::uint32_t, std::uint32_t> pokedRegisters() {
        std::map<std::uint32_t, std::uint32_t> r;
        for (const auto& e : phone().calls("QLIB_DIAG_MEMORY_POKE_DWORD_F")) {
            const auto address = static_cast<std::uint32_t>(e.args[0]);
            r[address] = mem().read(address);
        }
        return r;
    }
};

// --- register bits ---------------------------------------------------------------

struct BitCase {
    const char* name;
    bool wide; // 32-bit form, else 8-bit
    std::uint32_t before;
    std::uint32_t mask;
    unsigned char on;
    std::uint32_t after;
};
void PrintTo(const BitCase& c, std::ostream* os) { *os << c.name; }

class RegisterBits : public Peripheral, public ::testing::WithParamInterface<BitCase> {};

TEST_P(RegisterBits, ChangeOnlyTheMaskBits) {
    const BitCase& c = GetParam();
    const std::uint32_t address = c.wide ? 0x84000164 : 0x84000160;
    mem().preset(address, c.before, c.wide ? 4 : 1);
    const unsigned char ok = c.wide ? KAVOR_SetBitState_32_Reg(h, address, c.mask, c.on)
                                    : KAVOR_SetBitState_8_Reg(h, address, static_cast<unsigned char>(c.mask), c.on);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(mem().read(address, c.wide ? 4 : 1), c.after);
    const std::string peek = c.wide ? "QLIB_DIAG_MEMORY_PEEK_DWORD_F" : "QLIB_DIAG_MEMORY_PEEK_F";
    const std::string poke = c.wide ? "QLIB_DIAG_MEMORY_POKE_DWORD_F" : "QLIB_DIAG_MEMORY_POKE_F";
    const std::string args = "(iAddress = " + std::to_string(address) + ", iNumItems = 1, pItemArray = <ptr>)";
    const std::string done = " - Completed successfully\n";
    EXPECT_EQ(log(), (std::vector<std::string>{"\t\t" + peek + "() start", "\t" + peek + args + done,
                                               "\t\t" + poke + "() start", "\t" + poke + args + done,
                                               "\t\t" + peek + "() start", "\t" + peek + args + done}));
    // Only the 8-bit form checks the handle first.
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), c.wide ? 0u : 3u);
    EXPECT_EQ(phone().count(peek), 2u);
    EXPECT_EQ(phone().count(poke), 1u);
}

INSTANTIATE_TEST_SUITE_P(Widths, RegisterBits,
                         ::testing::Values(BitCase{"Set32", true, 0x00000001, 0x00080000, 1, 0x00080001},
                                           BitCase{"SetAlreadySet32", true, 0x00080000, 0x00080000, 1, 0x00080000},
                                           BitCase{"Clear32", true, 0xFFFFFFFF, 0x20000000, 0, 0xDFFFFFFF},
                                           BitCase{"AnyNonZeroSets32", true, 0, 0x00400040, 7, 0x00400040},
                                           BitCase{"Set8", false, 0x01, 0x10, 1, 0x11},
                                           BitCase{"Clear8", false, 0xFF, 0x10, 0, 0xEF}),
                         [](const auto& info) { return std::string(info.param.name); });

struct VerifyCase {
    const char* name;
    bool wide;
    std::uint32_t before;
    std::uint32_t mask;
    unsigned char on;
};
void PrintTo(const VerifyCase& c, std::ostream* os) { *os << c.name; }

class RegisterBitsVerify : public Peripheral, public ::testing::WithParamInterface<VerifyCase> {};

TEST_P(RegisterBitsVerify, FailWhenTheMaskBitsDoNotFollow) {
    const VerifyCase& c = GetParam();
    const std::uint32_t address = 0x8400015C;
    mem().preset(address, c.before, c.wide ? 4 : 1);
    mem().ignore_pokes(address);
    const unsigned char ok = c.wide ? KAVOR_SetBitState_32_Reg(h, address, c.mask, c.on)
                                    : KAVOR_SetBitState_8_Reg(h, address, static_cast<unsigned char>(c.mask), c.on);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(log().back(), "\t(_iPokeStorage != _iPeekStorage) - Failure\n");
    EXPECT_EQ(phone().count(c.wide ? "QLIB_DIAG_MEMORY_PEEK_DWORD_F" : "QLIB_DIAG_MEMORY_PEEK_F"), 2u);
    EXPECT_EQ(mem().read(address, c.wide ? 4 : 1), c.before);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RegisterBitsVerify,
                         ::testing::Values(VerifyCase{"Set32", true, 0x00000001, 0x20000000, 1},
                                           VerifyCase{"Clear32", true, 0x20000001, 0x20000000, 0},
                                           VerifyCase{"Set8", false, 0x01, 0x10, 1},
                                           VerifyCase{"Clear8", false, 0x11, 0x10, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Peripheral, RegisterBitsIgnoreBitsOutsideTheMaskOnReadBack) {
    // A status bit outside the mask toggles between the reads.
    int peeks = 0;
    phone().set_handler("QLIB_DIAG_MEMORY_PEEK_DWORD_F", [&](qmsl_sim::Phone& p, const qmsl_sim::Call& c) {
        const std::uint32_t v = qmsl_sim::memory(p).read(0x84000164) ^ (peeks++ ? 0x1u : 0u);
        c.set_bytes(0, {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
        return true;
    });
    EXPECT_EQ(KAVOR_SetBitState_32_Reg(h, 0x84000164, 0x00080000, 1), 1);
    EXPECT_EQ(peeks, 2);
    EXPECT_EQ(mem().read(0x84000164), 0x00080000u);
}

struct CallFault {
    const char* name;
    const char* fn;
    const char* line;
    std::size_t pokes;
};
void PrintTo(const CallFault& c, std::ostream* os) { *os << c.name; }

class RegisterBitsCallFault : public Peripheral, public ::testing::WithParamInterface<CallFault> {};

TEST_P(RegisterBitsCallFault, EndsAtTheFailedCall) {
    mem().preset(0x84000164, 5);
    phone().inject(GetParam().fn, {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_SetBitState_32_Reg(h, 0x84000164, 0x00080000, 1), 0);
    EXPECT_EQ(log().back(), GetParam().line);
    EXPECT_EQ(phone().count("QLIB_DIAG_MEMORY_POKE_DWORD_F"), GetParam().pokes);
    EXPECT_EQ(mem().read(0x84000164), 5u);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, RegisterBitsCallFault,
    ::testing::Values(
        CallFault{
            "Peek", "QLIB_DIAG_MEMORY_PEEK_DWORD_F",
            "\tQLIB_DIAG_MEMORY_PEEK_DWORD_F(iAddress = 2214592868, iNumItems = 1, pItemArray = <ptr>) - Failure\n", 0},
        CallFault{
            "Poke", "QLIB_DIAG_MEMORY_POKE_DWORD_F",
            "\tQLIB_DIAG_MEMORY_POKE_DWORD_F(iAddress = 2214592868, iNumItems = 1, pItemArray = <ptr>) - Failure\n",
            1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Peripheral, EightBitRegisterBitsCheckTheHandle) {
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(KAVOR_SetBitState_8_Reg(h, 0x84000160, 0x10, 1), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
    EXPECT_EQ(phone().count("QLIB_DIAG_MEMORY_PEEK_F"), 0u);
}

// --- keypad backlight through the pins --------------------------------------------

constexpr std::uint32_t bit(unsigned n) { return 1u << n; }
using Registers = std::map<std::uint32_t, std::uint32_t>;

struct GpioCase {
    const char* name;
    unsigned model;
    unsigned short row;
    unsigned char on;
    Registers registers; // every register poked, with its value afterwards
};
void PrintTo(const GpioCase& c, std::ostream* os) { *os << c.name; }

class BacklightRows : public Peripheral, public ::testing::WithParamInterface<GpioCase> {};

TEST_P(BacklightRows, DriveTheRowsPins) {
    const GpioCase& c = GetParam();
    modeltest::usePhoneModel(phone(), c.model);
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLightGPIO(h, c.row, c.on), 1);
    EXPECT_EQ(pokedRegisters(), c.registers);
    EXPECT_EQ(phone().count("QLIB_FTM_SET_PMIC_DRIVE_LEVEL"), 0u);
}

const Registers kSupply{{0x84000154, bit(4)}, {0x84000160, bit(4)}};
Registers with(Registers a, const Registers& b) {
    a.insert(b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BacklightRows,
    ::testing::Values(
        GpioCase{"Model52Row1On", 52, 1, 1, {{0x48000000, bit(6)}, {0x48000008, bit(6)}}},
        GpioCase{"Model52Row1Off", 52, 1, 0, {{0x48000000, bit(6)}, {0x48000008, 0}}},
        GpioCase{"Model53Row2On", 53, 2, 1, {{0x84000158, bit(22)}, {0x84000164, bit(22)}}},
        GpioCase{"Model54Row3On", 54, 3, 1, {{0x48000000, bit(3)}, {0x48000008, bit(3)}}},
        GpioCase{"Model55Row4On", 55, 4, 1, {{0x48000004, bit(11)}, {0x4800000C, bit(11)}}},
        GpioCase{"Model52Row5On", 52, 5, 1, with(kSupply, {{0x48000004, bit(9)}, {0x4800000C, bit(9)}})},
        GpioCase{"Model52Row5OffKeepsTheSupplyOn", 52, 5, 0, with(kSupply, {{0x48000004, bit(9)}, {0x4800000C, 0}})},
        GpioCase{"Model52Row6On", 52, 6, 1, with(kSupply, {{0x84000158, bit(25)}, {0x84000164, bit(25)}})},
        GpioCase{"Model52Row7On", 52, 7, 1,
                 with(kSupply, {{0x48000000, bit(3) | bit(6)},
                                {0x48000008, bit(3) | bit(6)},
                                {0x48000004, bit(11) | bit(9)},
                                {0x4800000C, bit(11) | bit(9)},
                                {0x84000158, bit(25) | bit(22)},
                                {0x84000164, bit(25) | bit(22)}})},
        GpioCase{"Model3Row7On", 3, 7, 1, {{0x84000150, bit(13)}, {0x8400015C, bit(13)}}},
        GpioCase{"Model3Row7Off", 3, 7, 0, {{0x84000150, bit(13)}, {0x8400015C, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Peripheral, BacklightPinLines) {
    modeltest::usePhoneModel(phone(), 52);
    mem().preset(0x48000008, 0xFFFFFFFF);
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLightGPIO(h, 1, 0), 1);
    EXPECT_EQ(mem().read(0x48000008), ~bit(6));
    EXPECT_TRUE(
        logged("\tKAVOR_Phone_Model(piVerNumber = 0, piMSMModel = 2, piPhoneModel = 52) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKX_SetBitState_32_Reg start for OE REG"));
    EXPECT_TRUE(
        logged("\tKX_SetBitState_32_Reg(Address = 1207959552,  mask = 64, bOnOff = 1 - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKX_SetBitState_32_Reg start for OUT REG"));
    EXPECT_EQ(log().back(),
              "\tKX_SetBitState_32_Reg(Address = 1207959560,  mask = 64, bOnOff = 0 - Completed successfully\n");
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 3u); // the procedure's handle check only
}

TEST_F(Peripheral, BacklightStopsAtAPinThatDoesNotFollow) {
    modeltest::usePhoneModel(phone(), 52);
    mem().ignore_pokes(0x4800000C);
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLightGPIO(h, 5, 1), 0);
    EXPECT_EQ(log().back(), "\tKX_SetBitState_32_Reg(Address = 1207959564,  mask = 512, bOnOff = 1 - Failure\n");
    EXPECT_EQ(mem().read(0x48000004), bit(9)); // what was written stays
}

struct PmicCase {
    unsigned char on;
    long long level;
};
class BacklightPmic : public Peripheral, public ::testing::WithParamInterface<PmicCase> {};

TEST_P(BacklightPmic, Model3Row5UsesTheDriveLevel) {
    modeltest::usePhoneModel(phone(), 3);
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLightGPIO(h, 5, GetParam().on), 1);
    auto calls = phone().calls("QLIB_FTM_SET_PMIC_DRIVE_LEVEL");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, (std::vector<long long>{1, GetParam().level}));
    EXPECT_EQ(phone().count("QLIB_DIAG_MEMORY_POKE_DWORD_F"), 0u);
    EXPECT_EQ(countLogged("\tKX_SetBitState"), 0u);
    phone().inject("QLIB_FTM_SET_PMIC_DRIVE_LEVEL", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLightGPIO(h, 5, GetParam().on), 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, BacklightPmic, ::testing::Values(PmicCase{1, 15}, PmicCase{0, 0}),
                         [](const auto& info) { return std::string(info.param.on ? "On" : "Off"); });

struct RefusedCase {
    const char* name;
    unsigned model;
    unsigned short row;
    const char* line;   // last log line
    const char* stdOut; // what standard output shows
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class BacklightRefused : public Peripheral, public ::testing::WithParamInterface<RefusedCase> {};

const char* kPaldenRows = "\nPALDEN not support, Please choose 7(Insidekeypad) or 5(OutsideKeypad).";
const char* kModel3Line =
    "\tKAVOR_Phone_Model(piVerNumber = 8, piMSMModel = 2, piPhoneModel = 3) - Completed successfully\n";

TEST_P(BacklightRefused, TouchesNoRegister) {
    modeltest::usePhoneModel(phone(), GetParam().model);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLightGPIO(h, GetParam().row, 1), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), GetParam().stdOut);
    EXPECT_EQ(log().back(), GetParam().line);
    EXPECT_EQ(phone().count("QLIB_DIAG_MEMORY_PEEK_DWORD_F"), 0u);
    EXPECT_EQ(phone().count("QLIB_FTM_SET_PMIC_DRIVE_LEVEL"), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BacklightRefused,
    ::testing::Values(RefusedCase{"Model3Row2", 3, 2, kModel3Line, kPaldenRows},
                      RefusedCase{"Model3Row8", 3, 8, kModel3Line, kPaldenRows},
                      RefusedCase{"Model34", 34, 1, "\t\tWrong mobile model", ""},
                      RefusedCase{"UnknownModel", 0, 1, "\t\tWrong mobile model", ""},
                      RefusedCase{"Model52Row0", 52, 0, "\t\tParameter RowNumber over the range (1-7).", ""},
                      RefusedCase{"Model55Row8", 55, 8, "\t\tParameter RowNumber over the range (1-7).", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Peripheral, BacklightChecksTheHandleFirst) {
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLightGPIO(h, 1, 1), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
}

// --- display switch -----------------------------------------------------------------

struct DisplayCase {
    const char* name;
    unsigned model;
    unsigned char on;
    bool ok;
    bool sent;
    int responseSize; // shown in the send line for a 20-byte answer
};
void PrintTo(const DisplayCase& c, std::ostream* os) { *os << c.name; }

class DisplaySwitch : public Peripheral, public ::testing::WithParamInterface<DisplayCase> {
protected:
    std::vector<std::vector<std::uint8_t>> displayRequests() {
        std::vector<std::vector<std::uint8_t>> r;
        for (const auto& e : phone().calls("QLIB_SendSync"))
            if (e.bytes.size() >= 6 && e.bytes[4] == 200) r.push_back(e.bytes);
        return r;
    }
};

TEST_P(DisplaySwitch, FollowsThePhoneModel) {
    const DisplayCase& c = GetParam();
    modeltest::usePhoneModel(phone(), c.model);
    // A longer answer than the reply room of the small-reply models.
    phone().add_responder(
        qmsl_sim::Channel::Sync,
        [](qmsl_sim::Phone&, const std::vector<std::uint8_t>& req) -> std::optional<std::vector<std::uint8_t>> {
            if (req.size() == 11 && req[4] == 200) return std::vector<std::uint8_t>(20, 0);
            return std::nullopt;
        });
    EXPECT_EQ(KAVOR_SpecialSwitchDisplay(h, c.on), c.ok ? 1 : 0);
    EXPECT_TRUE(logged("\tKAVOR_Phone_Model(piVerNumber = " + std::to_string(modeltest::hwIdOf(c.model)) +
                       ", piMobModel = " + std::to_string(c.model) + ") - Completed successfully\n"));
    auto sent = displayRequests();
    if (c.sent) {
        const std::vector<std::uint8_t> expected{0x4B, 0x0B, 0x00, 0x80, 0xC8, 0x00, 0x01, 0x00, 0x0C, 0x00, c.on};
        EXPECT_EQ(sent, std::vector<std::vector<std::uint8_t>>{expected});
        EXPECT_EQ(phone().calls("QLIB_SendSync").back().args[1], 2000);
        EXPECT_EQ(log().back(), "\tQLIB_SendSync(iRequestSize = 11, piRequestBytes = <ptr>, piResponseSize = " +
                                    std::to_string(c.responseSize) + ", iTimeout = 2000) - Completed successfully\n");
    } else {
        EXPECT_TRUE(sent.empty());
        if (!c.ok) {
            EXPECT_EQ(log().back(), "\tERROR: Mobile not supported - Failure\n");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, DisplaySwitch,
                         ::testing::Values(DisplayCase{"Model3Display1", 3, 1, true, true, 20},
                                           DisplayCase{"Model3Display0", 3, 0, true, true, 20},
                                           DisplayCase{"Model34Display1", 34, 1, true, true, 12},
                                           DisplayCase{"Model36Display0", 36, 0, true, true, 12},
                                           DisplayCase{"Model40Display1", 40, 1, true, true, 12},
                                           DisplayCase{"Model52Display0", 52, 0, true, false, 0},
                                           DisplayCase{"Model52Display1", 52, 1, false, false, 0},
                                           DisplayCase{"UnknownModelDisplay1", 0, 1, false, false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Peripheral, DisplaySwitchReachesThePhonesDisplayAndReportsAFailedSend) {
    modeltest::usePhoneModel(phone(), 35);
    EXPECT_EQ(KAVOR_SpecialSwitchDisplay(h, 1), 1);
    EXPECT_EQ(qmsl_sim::ext_ftm(phone()).display, 1);
    EXPECT_TRUE(logged("\t\tQLIB_SendSync() start"));

    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::NoReply, 0, {}, 0, -1});
    modeltest::usePhoneModel(phone(), 3); // needs no send to identify
    EXPECT_EQ(KAVOR_SpecialSwitchDisplay(h, 0), 0);
    EXPECT_EQ(
        log().back(),
        "\tQLIB_SendSync(iRequestSize = 11, piRequestBytes = <ptr>, piResponseSize = 0, iTimeout = 2000) - Failure\n");
}

TEST_F(Peripheral, DisplaySwitchChecksTheHandleFirst) {
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(KAVOR_SpecialSwitchDisplay(h, 1), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
}

} // namespace
