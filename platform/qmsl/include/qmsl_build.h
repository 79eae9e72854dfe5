/* Typed build identification of the phone. */
#ifndef QMSL_BUILD_H
#define QMSL_BUILD_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Room for each of the two texts of the extended build id, NUL included. */
#define QMSL_BUILD_TEXT_MAX 512

/* Extended build id: the MSM hardware version, the mobile model, the
 * software revision text and the model text. Each text buffer must hold
 * QMSL_BUILD_TEXT_MAX bytes; the texts come back terminated. */
QMSL_API unsigned char QLIB_DIAG_EXT_BUILD_ID_F(QmslHandle handle, unsigned int* msmHwVersion,
                                                unsigned int* mobileModel, char* softwareRevision,
                                                char* modelText);

#ifdef __cplusplus
}
#endif

#endif
