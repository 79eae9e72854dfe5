// FM radio procedures: the radio test (chip id, tuning, receiver state) and
// the receiver state read from the radio chip's registers over I2C.
#include "ProcedureSteps.h"

#include "InternalExports.h"

namespace kavor {

namespace {

// The radio chip's registers as one I2C read.
constexpr unsigned char kI2cRead = 0;
constexpr unsigned char kRadioSlave = 0x10;
constexpr unsigned char kRadioRegisterBytes = 28;
constexpr std::size_t kRadioBufferSize = 32;
// The register byte that carries the receiver state.
constexpr std::size_t kStateByte = 9;
constexpr unsigned char kNoValue = 0xFF;

// What each data kind takes from the state byte; kinds 1 and 2 are flags (0 or 1).
bool fmValueOf(unsigned char eFmData, unsigned char iState, unsigned char& iValue) {
    switch (eFmData) {
    case 0: iValue = static_cast<unsigned char>(iState >> 4); return true;
    case 1: iValue = (iState >> 3) & 1; return true;
    case 2: iValue = (iState >> 2) & 1; return true;
    default: return false;
    }
}

} // namespace

bool TestProcedures::specialGetFmRadioInfo(unsigned char eFmData, unsigned char* piFmData) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    if (piFmData) *piFmData = kNoValue;
    unsigned char data[kRadioBufferSize] = {};
    if (!runStep(*this, step("KAVOR_FTM_I2C_DATA_ACCESS",
                             [&] {
                                 return KAVOR_FTM_I2C_DATA_ACCESS(h, kI2cRead, kRadioSlave, 0, 0, kRadioRegisterBytes,
                                                                  data) != 0;
                             },
                             "KAVOR_FTM_I2C_DATA_ACCESS(iI2C_AccessType = 0, iI2C_SlaveAddr = 0x10, "
                             "iI2C_RegAddrLen = 0, iI2C_RegAddr = 0x00, iI2C_DataLen = 28)")))
        return false;
    unsigned char iValue = kNoValue;
    if (!fmValueOf(eFmData, data[kStateByte], iValue)) return false;
    if (piFmData) *piFmData = iValue;
    return true;
}

bool TestProcedures::fmRadioTest(unsigned short iAudioDevice, unsigned short* piChip_Id, unsigned short iChannel,
                                 unsigned short* piTuneStatus, unsigned char* piFmInfo) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    // Both readings go to the caller's one byte: the last one stays.
    return runSteps(
        *this,
        {micBiasStep(h, iAudioDevice),
         step("KAVOR_FTM_GET_FM_RADIO_ID", [=] { return KAVOR_FTM_GET_FM_RADIO_ID(h, piChip_Id) != 0; },
              "KAVOR_FTM_GET_FM_RADIO_ID()"),
         step("KAVOR_FTM_TUNE_FM_RADIO", [=] { return KAVOR_FTM_TUNE_FM_RADIO(h, iChannel, piTuneStatus) != 0; },
              "KAVOR_FTM_TUNE_FM_RADIO(iChannel = %d)", iChannel),
         step("KAVOR_SpecialGetFmRadioInfo", [=] { return KAVOR_SpecialGetFmRadioInfo(h, 0, piFmInfo) != 0; },
              "KAVOR_SpecialGetFmRadioInfo(eFmData = 0)"),
         step("KAVOR_SpecialGetFmRadioInfo", [=] { return KAVOR_SpecialGetFmRadioInfo(h, 2, piFmInfo) != 0; },
              "KAVOR_SpecialGetFmRadioInfo(eFmData = 2)")});
}

} // namespace kavor
