// Transmitter procedures for RF power and frequency measurements: a GSM
// burst at a PA DAC value or a power level, and a WCDMA carrier at a PA
// range and PDM value. Steps that several sequences share are built once.
#include "ProcedureSteps.h"

#include "InternalExports.h"
#include "qmsl_ftm.h"

namespace kavor {

namespace {

Step setMode(QmslHandle h, unsigned short eMode) {
    return step("QLIB_FTM_SET_MODE", [=] { return QLIB_FTM_SET_MODE(h, eMode) != 0; },
                "QLIB_FTM_SET_MODE(eNewMode = %d)", eMode);
}
Step setChannel(QmslHandle h, unsigned short iChannel) {
    return step("QLIB_FTM_SET_CHAN", [=] { return QLIB_FTM_SET_CHAN(h, iChannel) != 0; },
                "QLIB_FTM_SET_CHAN(iChannel = %d)", iChannel);
}
Step txOn(QmslHandle h) {
    return step("QLIB_FTM_SET_TX_ON", [=] { return QLIB_FTM_SET_TX_ON(h) != 0; }, "QLIB_FTM_SET_TX_ON()");
}
Step txOff(QmslHandle h) {
    return step("QLIB_FTM_SET_TX_OFF", [=] { return QLIB_FTM_SET_TX_OFF(h) != 0; }, "QLIB_FTM_SET_TX_OFF()");
}

// The GSM burst; the two sequences word its line differently.
struct Burst {
    unsigned char iSlotNum;
    short iDataSource;
    unsigned char iTSCindex;
    int iNumBursts;
    unsigned char bIsInfiniteDuration;
};
Step transmitBurst(QmslHandle h, const Burst& b, const char* pcLine) {
    return step(
        "QLIB_FTM_SET_TRANSMIT_BURST",
        [=] {
            return QLIB_FTM_SET_TRANSMIT_BURST(h, b.iSlotNum, b.iDataSource, b.iTSCindex, b.iNumBursts,
                                               b.bIsInfiniteDuration) != 0;
        },
        pcLine, b.iSlotNum, b.iDataSource, b.iTSCindex, b.iNumBursts, b.bIsInfiniteDuration);
}
constexpr const char* kBurstLineGsmPa =
    "QLIB_FTM_SET_TRANSMIT_BURST(iSlotNum = %c, iDataSource = %d, iTSCindex = %c,\t iNumBursts = %d, "
    "bIsInfiniteDuration = %c)";
constexpr const char* kBurstLineTxPowerOn =
    "QLIB_FTM_SET_TRANSMIT_BURST(iSlotNum = %c, iDataSource = %d, iTSCindex = %c, iNumBursts = %d, "
    "bIsInfiniteDuration = %c)";

// The WCDMA carrier settings.
struct Carrier {
    unsigned short iPArange;
    unsigned char bSelectCW;
    unsigned short iPDMtype;
    unsigned short iPDMvalue;
};
Step paRange(QmslHandle h, const Carrier& c) {
    return step("QLIB_FTM_SET_PA_RANGE", [=] { return QLIB_FTM_SET_PA_RANGE(h, c.iPArange) != 0; },
                "QLIB_FTM_SET_PA_RANGE(iPArange = %d)", c.iPArange);
}
Step cwWaveform(QmslHandle h, const Carrier& c) {
    return step("QLIB_FTM_CDMA_CW_WAVEFORM", [=] { return QLIB_FTM_CDMA_CW_WAVEFORM(h, c.bSelectCW) != 0; },
                "QLIB_FTM_CDMA_CW_WAVEFORM(bSelectCW = %c)", c.bSelectCW);
}
Step pdm(QmslHandle h, const Carrier& c) {
    return step("QLIB_FTM_SET_PDM", [=] { return QLIB_FTM_SET_PDM(h, c.iPDMtype, c.iPDMvalue) != 0; },
                "QLIB_FTM_SET_PDM(iPDMtype = %d, iPDMvalue = %d)", c.iPDMtype, c.iPDMvalue);
}

} // namespace

// The sequences below switch the transmitter off at their end or leave it
// on, each as the station's measurement expects it.
bool TestProcedures::gsmPaOutputPower(unsigned short eMode, unsigned short iChannel, unsigned char iSlotNum,
                                      short iDataSource, unsigned char iTSCindex, int iNumBursts,
                                      unsigned char bIsInfiniteDuration, unsigned short iDACinput) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    const Burst b{iSlotNum, iDataSource, iTSCindex, iNumBursts, bIsInfiniteDuration};
    const Step dac = step("QLIB_FTM_SET_PA_DAC_INPUT", [=] { return QLIB_FTM_SET_PA_DAC_INPUT(h, iDACinput) != 0; },
                          "QLIB_FTM_SET_PA_DAC_INPUT(iDACinput = %d)", iDACinput);
    return runSteps(*this, {setMode(h, eMode), setChannel(h, iChannel), txOn(h), transmitBurst(h, b, kBurstLineGsmPa),
                            dac, txOff(h)});
}

bool TestProcedures::setTxPowerOn(unsigned short eMode, unsigned short iChannel, unsigned char iPowerLevelID,
                                  unsigned char iSlotNum, short iDataSource, unsigned char iTSCindex, int iNumBursts,
                                  unsigned char bIsInfiniteDuration) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    const Burst b{iSlotNum, iDataSource, iTSCindex, iNumBursts, bIsInfiniteDuration};
    return runSteps(*this, {setMode(h, eMode), setChannel(h, iChannel),
                            step("QLIB_FTM_SET_TX_POWER_LEVEL",
                                 [=] { return QLIB_FTM_SET_TX_POWER_LEVEL(h, iPowerLevelID) != 0; },
                                 "QLIB_FTM_SET_TX_POWER_LEVEL(iPowerLevelID = %c)", iPowerLevelID),
                            transmitBurst(h, b, kBurstLineTxPowerOn), txOn(h)});
}

bool TestProcedures::wcdmaPaOutputPower(unsigned short eMode, unsigned short iChannel, unsigned short iPArange,
                                        unsigned char bSelectCW, unsigned short iPDMtype, unsigned short iPDMvalue) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    const Carrier c{iPArange, bSelectCW, iPDMtype, iPDMvalue};
    return runSteps(*this, {setMode(h, eMode), txOff(h), setChannel(h, iChannel), paRange(h, c), cwWaveform(h, c),
                            pdm(h, c), txOn(h)});
}

bool TestProcedures::afcDeviation(unsigned short eMode, unsigned short iChannel, unsigned short iPArange,
                                  unsigned char bSelectCW, unsigned short iPDMtype, unsigned short iPDMvalue) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    const Carrier c{iPArange, bSelectCW, iPDMtype, iPDMvalue};
    return runSteps(*this, {setMode(h, eMode), setChannel(h, iChannel), txOn(h), paRange(h, c), cwWaveform(h, c),
                            pdm(h, c), txOff(h)});
}

} // namespace kavor
