/* Typed factory-test-mode Bluetooth commands. Each takes the handle first
 * and returns non-zero on success. */
#ifndef QMSL_BT_H
#define QMSL_BT_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Size of a Bluetooth device address. */
#define QMSL_BT_ADDRESS_SIZE 6

/* Switches the Bluetooth module on for the FTM commands. */
QMSL_API unsigned char QLIB_FTM_BT_Enable_Bluetooth(QmslHandle handle);
/* Transmits an unmodulated carrier on a Bluetooth channel (0..78). */
QMSL_API unsigned char QLIB_FTM_BT_SetCW(QmslHandle handle, unsigned char iChannel);
/* Sets the module's device address: QMSL_BT_ADDRESS_SIZE bytes, least
 * significant byte first. */
QMSL_API unsigned char QLIB_FTM_BT_SetAddr(QmslHandle handle, const unsigned char* piAddr);
/* Sends one HCI command packet of iLength bytes to the module. */
QMSL_API unsigned char QLIB_FTM_BT_HCI_USER_CMD(QmslHandle handle, const unsigned char* pBuffer,
                                               unsigned char iLength);
/* The Bluetooth module's version number. */
QMSL_API unsigned char QLIB_BT_GetModuleVersion(QmslHandle handle, unsigned int* piModuleVersion);

#ifdef __cplusplus
}
#endif

#endif
