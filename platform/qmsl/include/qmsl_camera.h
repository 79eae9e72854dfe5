/* Typed factory-test-mode commands of the phone's camera: sensor selection,
 * start and stop. Each fills the camera status (0 = success) and returns
 * non-zero when the exchange with the phone succeeded. */
#ifndef QMSL_CAMERA_H
#define QMSL_CAMERA_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Selects the sensor the later camera commands drive. */
QMSL_API unsigned char QLIB_FTM_CAMERA_SET_SENSOR_ID(QmslHandle handle, unsigned char iSensorId,
                                                     unsigned short* piCameraStatus);
QMSL_API unsigned char QLIB_FTM_CAMERA_START(QmslHandle handle, unsigned short* piCameraStatus);
QMSL_API unsigned char QLIB_FTM_CAMERA_STOP(QmslHandle handle, unsigned short* piCameraStatus);

#ifdef __cplusplus
}
#endif

#endif
