/* Typed factory-test-mode commands of the polar transmitter's calibration
 * (chipset generation 6275): two-tone offset, loop and baseband bandwidths,
 * frame matrix, reference calibration, path delay, sweep step and the
 * RSB/DC sweep. Each takes the handle first and returns non-zero on success.
 * The phone also answers the raw GSM TX sweep request (diagnostic group
 * 0x11, command 300) sent with QLIB_SendSync. */
#ifndef QMSL_POLAR_TX_H
#define QMSL_POLAR_TX_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

QMSL_API unsigned char QLIB_FTM_SET_TWOTONE_FREQ_OFFSET(QmslHandle handle, unsigned short iFreqOffset);
QMSL_API unsigned char QLIB_FTM_SET_OPLL_BW(QmslHandle handle, unsigned char iBandwidth_Num);
QMSL_API unsigned char QLIB_FTM_SET_TX_FRAME_MATRIX(QmslHandle handle, unsigned char iSlotNum,
                                                   unsigned char iTurnSlotOn, unsigned short iPwrLevel,
                                                   unsigned char iModScheme);
QMSL_API unsigned char QLIB_FTM_ENABLE_POLAR_REF_CAL(QmslHandle handle, unsigned char iEnable);
QMSL_API unsigned char QLIB_FTM_BASEBAND_BW_CAL(QmslHandle handle, unsigned char iBandwidth_Num);
/* Measures the path delay into *piDelay. */
QMSL_API unsigned char QLIB_FTM_SET_PATH_DELAY(QmslHandle handle, short* piDelay);
QMSL_API unsigned char QLIB_FTM_SET_TX_SWEEP_STEP_SIZE(QmslHandle handle, unsigned char iStep);
/* Runs the RSB/DC sweep over uiListSize entries of five lists (32-bit
 * arguments of the caller, passed through); *piStatus is 0 when it ran. */
QMSL_API unsigned char QLIB_FTM_TX_RSB_DC_SWEEP(QmslHandle handle, unsigned char uiListSize, unsigned int uiList1,
                                               unsigned int uiList2, unsigned int uiList3, unsigned int uiList4,
                                               unsigned int uiList5, unsigned short* piStatus);

#ifdef __cplusplus
}
#endif

#endif
