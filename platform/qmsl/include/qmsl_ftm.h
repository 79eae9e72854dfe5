/* Typed factory-test-mode commands. */
#ifndef QMSL_FTM_H
#define QMSL_FTM_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Drive level of one of the power-management chip's current sinks (the
 * device number selects it; level 0 switches it off). */
QMSL_API unsigned char QLIB_FTM_SET_PMIC_DRIVE_LEVEL(QmslHandle handle, int device, int level);

#ifdef __cplusplus
}
#endif

#endif
