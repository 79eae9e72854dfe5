// Supply switches: the camera supply test and the accessory supply, through
// the extension-FTM switch and backlight commands and the processor's
// register bits, chosen by phone model.
#include "TestProcedures.h"

#include "InternalExports.h"

#include <cstddef>

namespace kavor {

namespace {

constexpr unsigned int kCameraSupplyRegister = 0x84000160;  // 8 bits, bit 4
constexpr unsigned char kCameraSupplyMask = 0x10;
constexpr unsigned int kSecondSupplyRegister = 0x8400015C;
constexpr unsigned int kSecondSupplyMask = 0x20000000;
constexpr unsigned int kAccSupplyRegister = 0x84000164;
constexpr unsigned int kAccSupplyMask = 0x00080000;

enum class Step { CameraSwitch, CameraSupply, SecondSupply, Backlight, AccSupply };

struct ModelRange {
    unsigned int iFirst, iLast;
};
template <std::size_t N>
bool inRanges(unsigned int iCode, const ModelRange (&ranges)[N], std::size_t count = N) {
    for (std::size_t i = 0; i < count; ++i)
        if (iCode >= ranges[i].iFirst && iCode <= ranges[i].iLast) return true;
    return false;
}

// Which steps a phone model's supply test runs, in order.
struct SupplyPlan {
    ModelRange models[3];
    std::size_t modelCount;
    Step steps[5];
    std::size_t stepCount;
};
constexpr SupplyPlan kSupplyPlans[] = {
    {{{12, 15}, {32, 36}, {40, 40}},
     3,
     {Step::CameraSwitch, Step::CameraSupply, Step::SecondSupply, Step::Backlight, Step::AccSupply},
     5},
    {{{22, 25}}, 1, {Step::CameraSwitch, Step::Backlight, Step::AccSupply}, 3},
    {{{52, 55}}, 1, {Step::CameraSwitch, Step::Backlight}, 2},
};
// Models whose camera switch falls back to the camera pins when it fails.
constexpr ModelRange kCameraPinModels[] = {{52, 55}};
// Models with the accessory supply switch.
constexpr ModelRange kAccSupplyModels[] = {{12, 15}, {22, 25}, {32, 36}, {40, 40}};

// Arguments of one supply test.
struct SupplyArgs {
    unsigned char iCamera, iLevel, iSecondSupply, iAccSupply;
};

// Identifies the phone for the supply procedures: the phone-model code, or
// false after the failed step's line.
bool supplyPhoneModel(TestProcedures& p, unsigned int& iPhoneModel) {
    unsigned int iHwId = 0, iMsmModel = 0;
    p.logStep(TestProcedures::StepInfo, "\tKAVOR_Phone_Model() start");
    return p.logResult(KAVOR_Phone_Model(p.handle(), &iHwId, &iMsmModel, &iPhoneModel) != 0, "KAVOR_Phone_Model()");
}

bool accSupplyStep(TestProcedures& p, unsigned char iOn) {
    p.logStep(TestProcedures::StepInfo, "\tKAVOR_SetBitState_32_Reg() start");
    return p.logResult(KAVOR_SetBitState_32_Reg(p.handle(), kAccSupplyRegister, kAccSupplyMask, iOn) != 0,
                       "KAVOR_SetBitState_32_Reg(iAddress = 0x%x, iMask = 0x00080000, bOnOff = %d)",
                       kAccSupplyRegister, iOn);
}

bool runSupplyStep(TestProcedures& p, Step step, unsigned int iPhoneModel, const SupplyArgs& a) {
    const QmslHandle h = p.handle();
    switch (step) {
    case Step::CameraSwitch: {
        p.logStep(TestProcedures::StepInfo, "\tKAVOR_FTM_CONFIGURE_SWITCH() start");
        if (p.logResult(KAVOR_FTM_CONFIGURE_SWITCH(h, 1, a.iCamera) != 0,
                        "KAVOR_FTM_CONFIGURE_SWITCH(iSwitchID = 1, iSwitchState = %d)", a.iCamera))
            return true;
        if (!inRanges(iPhoneModel, kCameraPinModels)) return false;
        // The camera pins take the place of the switch command.
        p.logStep(TestProcedures::StepInfo, "\tKAVOR_FTM_TARV_CAMERA_SWITCH() start");
        return p.logResult(KAVOR_FTM_TARV_CAMERA_SWITCH(h, a.iCamera) != 0, "KAVOR_FTM_TARV_CAMERA_SWITCH(iCameraNum = %i)",
                           a.iCamera);
    }
    case Step::CameraSupply:
        p.logStep(TestProcedures::StepInfo, "\tKAVOR_SetBitState_8_Reg() start");
        return p.logResult(KAVOR_SetBitState_8_Reg(h, kCameraSupplyRegister, kCameraSupplyMask, 1) != 0,
                           "KAVOR_SetBitState_8_Reg(iAddress = 0x%x + 0, iMask = 0x10, bOnOff = %d)",
                           kCameraSupplyRegister, 1);
    case Step::SecondSupply: {
        // 1 and 2 both switch it on; anything else off.
        const unsigned char iOn = a.iSecondSupply == 1 || a.iSecondSupply == 2 ? 1 : 0;
        p.logStep(TestProcedures::StepInfo, "\tKAVOR_SetBitState_32_Reg() start");
        return p.logResult(KAVOR_SetBitState_32_Reg(h, kSecondSupplyRegister, kSecondSupplyMask, iOn) != 0,
                           "KAVOR_SetBitState_32_Reg(iAddress = 0x%x, iMask = 0x20000000, bOnOff = %d)",
                           kSecondSupplyRegister, iOn);
    }
    case Step::Backlight:
        p.logStep(TestProcedures::StepInfo, "\tKAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL() start");
        return p.logResult(KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(h, a.iLevel) != 0, "KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(iLevel = %d)",
                           a.iLevel);
    case Step::AccSupply: return accSupplyStep(p, a.iAccSupply);
    }
    return false;
}

} // namespace

bool TestProcedures::supplyVoltageTest(unsigned char iCameraNum, unsigned char iBacklightLevel, unsigned char iSecondSupply,
                                       unsigned char iAccSupply) {
    if (iCameraNum > 1) {
        logStep(StepFailed, "Wrong camera number");
        return false;
    }
    if (!KAVOR_CheckHandle(handle_)) return false;
    unsigned int iPhoneModel = 0;
    if (!supplyPhoneModel(*this, iPhoneModel)) return false;

    const SupplyArgs args{iCameraNum, iBacklightLevel, iSecondSupply, iAccSupply};
    for (const SupplyPlan& plan : kSupplyPlans) {
        if (!inRanges(iPhoneModel, plan.models, plan.modelCount)) continue;
        for (std::size_t i = 0; i < plan.stepCount; ++i)
            if (!runSupplyStep(*this, plan.steps[i], iPhoneModel, args)) return false;
        return true;
    }
    return false;
}

bool TestProcedures::specialSwitchAccSupplyVoltage(unsigned char iOn) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    unsigned int iPhoneModel = 0;
    if (!supplyPhoneModel(*this, iPhoneModel)) return false;
    if (!inRanges(iPhoneModel, kAccSupplyModels)) return false;
    return accSupplyStep(*this, iOn);
}

} // namespace kavor
