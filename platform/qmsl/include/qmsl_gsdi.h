/* Typed SIM-side (GSDI diagnostic) commands: on-chip SIM activation, SIM
 * secure data, secure device information and the root key. Each takes the
 * SIM slot and an application id (its length and bytes) after the handle and
 * reports two words: the command status and the status, both 0 on success. */
#ifndef QMSL_GSDI_H
#define QMSL_GSDI_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Largest root key QLIB_GSDIDIAG_ROOT_KEY_READ_CMD reads. */
#define QMSL_ROOT_KEY_MAX 260

QMSL_API unsigned char QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD(QmslHandle handle, unsigned char iSlotId,
                                                            unsigned char iAppIdLen, const unsigned char* piAppId,
                                                            unsigned int* piCommandStatus, unsigned int* piStatus);
QMSL_API unsigned char QLIB_GSDIDIAG_SIM_SECURE_STORE_CMD(QmslHandle handle, unsigned char iSlotId,
                                                         unsigned char iAppIdLen, const unsigned char* piAppId,
                                                         unsigned short iDataLen, const unsigned char* piData,
                                                         unsigned int* piCommandStatus, unsigned int* piStatus);
/* *piDataLen: room of piData on entry, bytes read on return. */
QMSL_API unsigned char QLIB_GSDIDIAG_SIM_SECURE_READ_CMD(QmslHandle handle, unsigned char iSlotId,
                                                        unsigned char iAppIdLen, const unsigned char* piAppId,
                                                        unsigned short* piDataLen, unsigned char* piData,
                                                        unsigned int* piCommandStatus, unsigned int* piStatus);
QMSL_API unsigned char QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD(QmslHandle handle, unsigned char iSlotId,
                                                           unsigned char iAppIdLen, const unsigned char* piAppId,
                                                           unsigned int* piCommandStatus, unsigned int* piStatus);
QMSL_API unsigned char QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD(QmslHandle handle, unsigned char iSlotId,
                                                       unsigned char iAppIdLen, const unsigned char* piAppId,
                                                       unsigned short iKeyLen, const unsigned char* piKey,
                                                       unsigned int* piCommandStatus, unsigned int* piStatus);
/* *piKeyLen: bytes read; piKey needs QMSL_ROOT_KEY_MAX bytes. */
QMSL_API unsigned char QLIB_GSDIDIAG_ROOT_KEY_READ_CMD(QmslHandle handle, unsigned char iSlotId,
                                                      unsigned char iAppIdLen, const unsigned char* piAppId,
                                                      unsigned short* piKeyLen, unsigned char* piKey,
                                                      unsigned int* piCommandStatus, unsigned int* piStatus);

#ifdef __cplusplus
}
#endif

#endif
