/* Typed diagnostic command: the extended build id. */
#ifndef QMSL_DIAG_EXT_H
#define QMSL_DIAG_EXT_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Room of each of the two texts of QLIB_DIAG_EXT_BUILD_ID_F, NUL included. */
#define QMSL_BUILD_ID_TEXT_MAX 512

/* The phone's MSM hardware version, its model byte, its software revision
 * text and its model text (each text buffer holds QMSL_BUILD_ID_TEXT_MAX
 * bytes and comes back terminated). */
QMSL_API unsigned char QLIB_DIAG_EXT_BUILD_ID_F(QmslHandle handle, unsigned int* msmHwVersion, unsigned int* mobileModel,
                                                char* softwareRevision, char* modelText);

#ifdef __cplusplus
}
#endif

#endif
