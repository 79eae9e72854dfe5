/* Typed factory-test-mode (FTM) commands: RF and the power-management
 * chip's current sinks. Each takes the handle first and
 * returns non-zero on success; values read from the phone come back through
 * the out-parameters. */
#ifndef QMSL_FTM_H
#define QMSL_FTM_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Values QLIB_FTM_GET_ALL_HDET_FROM_TX_SWEEP_CAL writes. */
#define QMSL_TX_SWEEP_HDET_MAX 256

QMSL_API unsigned char QLIB_FTM_SET_MODE(QmslHandle handle, int eNewMode);
QMSL_API unsigned char QLIB_FTM_SET_PDM(QmslHandle handle, int iPDMType, int iPDMValue);
QMSL_API unsigned char QLIB_FTM_SET_PDM_signed(QmslHandle handle, int iPDMType, int iPDMValue);
QMSL_API unsigned char QLIB_FTM_SET_TX_ON(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_SET_TX_OFF(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_SET_LNA_RANGE(QmslHandle handle, int iLNARange);
QMSL_API unsigned char QLIB_FTM_SET_CHAN(QmslHandle handle, int iChannel);
QMSL_API unsigned char QLIB_FTM_GET_ADC_VAL(QmslHandle handle, unsigned short iADC_type, unsigned short* piADC_Value);
QMSL_API unsigned char QLIB_FTM_GET_RX_AGC(QmslHandle handle, short* piRX_AGC);
QMSL_API unsigned char QLIB_FTM_GET_SYNTH_STATE(QmslHandle handle, unsigned char* pbLockState);
QMSL_API unsigned char QLIB_FTM_CDMA_CW_WAVEFORM(QmslHandle handle, int bSelectCW);
QMSL_API unsigned char QLIB_FTM_SET_LNA_OFFSET(QmslHandle handle, int iLNAindex, int iLNAoffset);
QMSL_API unsigned char QLIB_FTM_SET_PA_RANGE(QmslHandle handle, int iPArange);
QMSL_API unsigned char QLIB_FTM_GET_CDMA_IM2(QmslHandle handle, unsigned char* piI_Value, unsigned char* piQ_Value,
                                            unsigned short* piTransConductance_Value);
QMSL_API unsigned char QLIB_FTM_SET_DVGA_OFFSET(QmslHandle handle, int iDVGAoffset);
QMSL_API unsigned char QLIB_FTM_TX_SWEEP_CAL(QmslHandle handle, int bOnOff);
QMSL_API unsigned char QLIB_FTM_GET_DVGA_OFFSET(QmslHandle handle, int iExpectedRX_AGC, short* piDVGAoffset);
QMSL_API unsigned char QLIB_FTM_GET_LNA_OFFSET(QmslHandle handle, int iLNAindex, int iExpectedRX_AGC,
                                              short* piLNAoffsetValue);
QMSL_API unsigned char QLIB_FTM_GET_HDET_FROM_TX_SWEEP_CAL(QmslHandle handle, int iIndex,
                                                          unsigned short* piHDETvalue);
QMSL_API unsigned char QLIB_FTM_SET_HDET_TRACKING(QmslHandle handle, int iOnOff, int iHDETvalue);
QMSL_API unsigned char QLIB_FTM_CONFIGURE_TX_SWEEP_CAL(QmslHandle handle, int iTimeInterval,
                                                      int iNumofHDETReadingsPerStep);
/* piHDETvalues: room for QMSL_TX_SWEEP_HDET_MAX values. */
QMSL_API unsigned char QLIB_FTM_GET_ALL_HDET_FROM_TX_SWEEP_CAL(QmslHandle handle, unsigned short* piHDETvalues);
/* The ramp table has iRampSize values, the PA lookup table iPaLookupTableSize. */
QMSL_API unsigned char QLIB_FTM_SET_PA_PROFILE(QmslHandle handle, const unsigned short* piRampTable,
                                              const unsigned short* piPaLookupTable, unsigned char iRampSize,
                                              unsigned char iPaLookupTableSize);
QMSL_API unsigned char QLIB_FTM_SET_TRANSMIT_CONT(QmslHandle handle, int iSlotNum, int iDataSource, int iTSCindex,
                                                 int iNumBursts, int bIsInfiniteDuration);
QMSL_API unsigned char QLIB_FTM_SET_TRANSMIT_BURST(QmslHandle handle, int iSlotNum, int iDataSource, int iTSCindex,
                                                  int iNumBursts, int bIsInfiniteDuration);
QMSL_API unsigned char QLIB_FTM_SET_RX_BURST(QmslHandle handle, int iSlotNum, int iRxFunction);
QMSL_API unsigned char QLIB_FTM_SET_RX_CONTINUOUS(QmslHandle handle, int iSlotNum, int iRxFunction);
QMSL_API unsigned char QLIB_FTM_SET_TX_POWER_LEVEL(QmslHandle handle, int iPowerLevelID);
QMSL_API unsigned char QLIB_FTM_GET_RSSI(QmslHandle handle, unsigned short* piRssiValue);
QMSL_API unsigned char QLIB_FTM_SET_PA_DAC_INPUT(QmslHandle handle, int iDACinput);
QMSL_API unsigned char QLIB_FTM_SET_TX_CAL_SWEEP(QmslHandle handle, int iDAC_Start, int iDAC_Stop, int iDAC_Step);
/* Drive level of one of the power-management chip's current sinks (the
 * device number selects it; level 0 switches it off). */
QMSL_API unsigned char QLIB_FTM_SET_PMIC_DRIVE_LEVEL(QmslHandle handle, int device, int level);

/* *piFTM_Status: 0 when the phone loaded its RF NV items. */
QMSL_API unsigned char QLIB_FTM_LOAD_RF_NV(QmslHandle handle, unsigned short* piFTM_Status);

#ifdef __cplusplus
}
#endif

#endif
