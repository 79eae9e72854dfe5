/* Typed factory-test-mode commands of the phone's camera beyond sensor
 * selection: parameters, dimensions, preview, taking and reading pictures,
 * the sensor's description. Each fills the camera status last (0 = success)
 * and returns non-zero when the exchange with the phone succeeded. The
 * 32-bit target arguments are the caller's and pass through unread. */
#ifndef QMSL_CAMERA_PICTURE_H
#define QMSL_CAMERA_PICTURE_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

QMSL_API unsigned char QLIB_FTM_CAMERA_SET_PARM(QmslHandle handle, unsigned short iParmId, int iParmValue,
                                               unsigned short* piCameraStatus);
QMSL_API unsigned char QLIB_FTM_CAMERA_SET_DIMENSIONS(QmslHandle handle, unsigned short iPictureWidth,
                                                     unsigned short iPictureHeight, unsigned short iLCD_Width,
                                                     unsigned short* piCameraStatus);
QMSL_API unsigned char QLIB_FTM_CAMERA_START_PREVIEW(QmslHandle handle, unsigned short* piCameraStatus);
QMSL_API unsigned char QLIB_FTM_CAMERA_STOP_PREVIEW(QmslHandle handle, unsigned short* piCameraStatus);
/* Takes a picture and encodes it; *piPicDataSize is its size in bytes. */
QMSL_API unsigned char QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE(QmslHandle handle, int iQuality, unsigned short iFormat,
                                                              int* piPicDataSize, unsigned short* piCameraStatus);
/* Copies iDataSize bytes of the picture from iDataOffset on into pData. */
QMSL_API unsigned char QLIB_FTM_CAMERA_GET_PICTURE(QmslHandle handle, int iDataOffset, unsigned short iDataSize,
                                                  unsigned char* pData, unsigned short* piCameraStatus);
QMSL_API unsigned char QLIB_FTM_CAMERA_GET_PARM(QmslHandle handle, unsigned short iParmId, int* piMinimumValue,
                                               int* piMaximumValue, int* piStepValue, int* piDefaultValue,
                                               int* piCurrentValue, unsigned short* piCameraStatus);
QMSL_API unsigned char QLIB_FTM_CAMERA_GET_INFO(QmslHandle handle, unsigned short* piSensorWidth,
                                               unsigned short* piSensorHeight, unsigned short* piFPS,
                                               unsigned char* piSensorRotationSensing,
                                               unsigned short* piDefaultRotation,
                                               unsigned short* piDefaultOrientation, unsigned short* piCameraStatus);
/* Start, preview for iDelay_ms, take, encode and transfer a picture to the target. */
QMSL_API unsigned char QLIB_FTM_CAMERA_PerformTakePictureSequence(QmslHandle handle, unsigned char bAutoPictureSize,
                                                                 unsigned short iPictureWidth,
                                                                 unsigned short iPictureHeight,
                                                                 unsigned short iDelay_ms, int iQuality,
                                                                 unsigned short iFormat, unsigned int iTarget,
                                                                 unsigned short* piCameraStatus);
/* Transfers a taken picture of iPicDataSize bytes to the target in pieces
 * of iDataTransferSize bytes. */
QMSL_API unsigned char QLIB_FTM_CAMERA_GetEntirePicture(QmslHandle handle, int iPicDataSize,
                                                       unsigned short iDataTransferSize, unsigned int iTarget,
                                                       unsigned short* piCameraStatus);

#ifdef __cplusplus
}
#endif

#endif
