// The flip sensor, read from the processor's pins, and the phone-model step
// of the peripheral procedures.
#include "TestProcedures.h"

#include "InternalExports.h"

#include <cstdio>

namespace kavor {

namespace {

constexpr unsigned int kFlipRegister = 0x48000004;
// Read second: the pin's input register when the first reading is '0',
// else its output register.
constexpr unsigned int kFlipInputRegister = 0x48000064;
constexpr unsigned int kFlipOutputRegister = 0x4800000C;
constexpr unsigned short kFlipBit = 9;
constexpr unsigned int kFlipModel = 3;

} // namespace

bool TestProcedures::phoneModelStep(unsigned int* piPhoneModel) {
    unsigned int iVerNumber = 0, iMsmModel = 0;
    logStep(StepInfo, "\tKAVOR_Phone_Model() start");
    // The call runs before its line is formatted: the line shows what it returned.
    const bool bModel = KAVOR_Phone_Model(handle_, &iVerNumber, &iMsmModel, piPhoneModel) != 0;
    return logResult(bModel, "KAVOR_Phone_Model(piVerNumber = %i, piMSMModel = %i, piPhoneModel = %i)",
                     static_cast<int>(iVerNumber), static_cast<int>(iMsmModel), static_cast<int>(*piPhoneModel));
}

bool TestProcedures::testFlip(char* pcFlipState, unsigned char bSkipModelQuery) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    // Skipping the query leaves the model unknown, which no flip supports.
    unsigned int iPhoneModel = 0;
    if (!bSkipModelQuery && !phoneModelStep(&iPhoneModel)) return false;
    if (iPhoneModel != kFlipModel) {
        std::fputs("\nNot support this model", stdout);
        std::fflush(stdout);
        return false;
    }

    unsigned int iReg = 0;
    char cOnOff = '0';
    unsigned int iAddress = kFlipRegister;
    for (int iReading = 0; iReading < 2; ++iReading) {
        logStep(StepInfo, "\tKX_GetBitState_32_Reg() start");
        const bool bOk = getBitState32Reg(iAddress, kFlipBit, &iReg, &cOnOff);
        if (!logResult(bOk, "KX_GetBitState_32_Reg(Address = %u, bitNum = %u, reg = %u, bOnOff = %c)", iAddress,
                       kFlipBit, iReg, cOnOff))
            return false;
        iAddress = cOnOff == '0' ? kFlipInputRegister : kFlipOutputRegister;
    }
    if (pcFlipState) *pcFlipState = cOnOff;
    return true;
}

} // namespace kavor
