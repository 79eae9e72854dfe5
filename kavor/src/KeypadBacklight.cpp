// Keypad backlight through the processor's pins: each row of the keypad
// lighting is a set of output pins, each driven by its output-enable and its
// output register bit.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "qmsl_ftm.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace kavor {

namespace {

constexpr std::uint32_t bit(unsigned n) { return 1u << n; }

struct Pin {
    std::uint32_t iOutputEnable;
    std::uint32_t iOutput;
    std::uint32_t iMask;
    bool bAlwaysOn = false;  // switched on whatever the row is switched to
};
struct RowPlan {
    Pin pins[4];
    std::size_t count;
};

// The supply of the backlight that rows 5-7 share; it is switched on first.
constexpr Pin kBacklightSupply{0x84000154, 0x84000160, bit(4), true};
constexpr Pin kGpioA3{0x48000000, 0x48000008, bit(3)};
constexpr Pin kGpioA6{0x48000000, 0x48000008, bit(6)};
constexpr Pin kGpioB9{0x48000004, 0x4800000C, bit(9)};
constexpr Pin kGpioB11{0x48000004, 0x4800000C, bit(11)};
constexpr Pin kGpioC22{0x84000158, 0x84000164, bit(22)};
constexpr Pin kGpioC25{0x84000158, 0x84000164, bit(25)};

// Rows 1-7 of phone models 52-55.
const RowPlan kRows[7] = {
    {{kGpioA6}, 1},
    {{kGpioC22}, 1},
    {{kGpioA3}, 1},
    {{kGpioB11}, 1},
    {{kBacklightSupply, kGpioB9}, 2},
    {{kBacklightSupply, kGpioC25}, 2},
    {{kBacklightSupply,
      {0x48000000, 0x48000008, bit(3) | bit(6)},
      {0x48000004, 0x4800000C, bit(11) | bit(9)},
      {0x84000158, 0x84000164, bit(25) | bit(22)}},
     4},
};
// Phone model 3 lights its inside keypad (row 7) through one pin; its
// outside keypad (row 5) hangs on the power-management chip.
const RowPlan kModel3Row7{{{0x84000150, 0x8400015C, bit(13)}}, 1};
constexpr int kPmicKeypad = 1;
constexpr int kPmicKeypadLevel = 15;

bool isWideModel(unsigned int iCode) { return iCode >= 52 && iCode <= 55; }

} // namespace

bool TestProcedures::setKeyPadBackLightGpio(unsigned short rowNumber, unsigned char backLightOn) {
    if (!KAVOR_CheckHandle(handle_)) return false;

    unsigned int iVerNumber = 0, iMsmModel = 0, iPhoneModel = 0;
    logStep(StepInfo, "\tKAVOR_Phone_Model() start");
    // The call runs before its line is formatted: the line shows what it returned.
    const bool bModel = KAVOR_Phone_Model(handle_, &iVerNumber, &iMsmModel, &iPhoneModel) != 0;
    if (!logResult(bModel, "KAVOR_Phone_Model(piVerNumber = %i, piMSMModel = %i, piPhoneModel = %i)", static_cast<int>(iVerNumber),
                   static_cast<int>(iMsmModel), static_cast<int>(iPhoneModel)))
        return false;

    if (iPhoneModel == 3 && rowNumber != 5 && rowNumber != 7) {
        std::fputs("\nPALDEN not support, Please choose 7(Insidekeypad) or 5(OutsideKeypad).", stdout);
        std::fflush(stdout);
        return false;
    }
    if (iPhoneModel != 3 && !isWideModel(iPhoneModel)) {
        logStep(StepInfo, "\tWrong mobile model");
        return false;
    }
    if (rowNumber < 1 || rowNumber > 7) {
        logStep(StepInfo, "\tParameter RowNumber over the range (1-7).");
        return false;
    }
    if (iPhoneModel == 3 && rowNumber == 5)
        return QLIB_FTM_SET_PMIC_DRIVE_LEVEL(handle_, kPmicKeypad, backLightOn * kPmicKeypadLevel) != 0;

    const RowPlan& plan = iPhoneModel == 3 ? kModel3Row7 : kRows[rowNumber - 1];
    for (std::size_t i = 0; i < plan.count; ++i) {
        const Pin& pin = plan.pins[i];
        logStep(StepInfo, "KX_SetBitState_32_Reg start for OE REG");
        if (!logResult(KAVOR_SetBitState_32_Reg(handle_, pin.iOutputEnable, pin.iMask, 1) != 0,
                       "KX_SetBitState_32_Reg(Address = %u,  mask = %u, bOnOff = 1", pin.iOutputEnable, pin.iMask))
            return false;
        const unsigned char bLevel = pin.bAlwaysOn ? 1 : backLightOn;
        logStep(StepInfo, "KX_SetBitState_32_Reg start for OUT REG");
        if (!logResult(KAVOR_SetBitState_32_Reg(handle_, pin.iOutput, pin.iMask, bLevel) != 0,
                       "KX_SetBitState_32_Reg(Address = %u,  mask = %u, bOnOff = %d", pin.iOutput, pin.iMask, bLevel))
            return false;
    }
    return true;
}

} // namespace kavor
