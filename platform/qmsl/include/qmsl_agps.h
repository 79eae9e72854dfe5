/* Typed factory-test-mode commands of the assisted-GPS receiver. Each takes
 * the handle first and returns non-zero on success. */
#ifndef QMSL_AGPS_H
#define QMSL_AGPS_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

QMSL_API unsigned char QLIB_FTM_AGPS_SET_TEST_MODE(QmslHandle handle, unsigned char bOnOff);
/* The receiver's self test; the low three bits of *piResult are 0 when it passed. */
QMSL_API unsigned char QLIB_FTM_AGPS_SELF_TEST(QmslHandle handle, unsigned char* piResult);
QMSL_API unsigned char QLIB_FTM_AGPS_STANDALONE_TEST_MODE(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_AGPS_SV_TRACKING(QmslHandle handle, unsigned char iSatelliteVehicleId);
QMSL_API unsigned char QLIB_FTM_AGPS_IQ_CAPTURE(QmslHandle handle, int iCenterFreq_Hz, int iSampleFreq_Hz,
                                               unsigned short iStartDelay, unsigned char iAutoCenter,
                                               unsigned short iMaxRecordSize);
/* Reads the captured samples; both 32-bit arguments are the caller's and pass through. */
QMSL_API unsigned char QLIB_FTM_AGPS_GET_IQ_DATA(QmslHandle handle, unsigned int uiArg1, unsigned int uiArg2);
QMSL_API unsigned char QLIB_FTM_AGPS_IDLE_MODE(QmslHandle handle);

#ifdef __cplusplus
}
#endif

#endif
