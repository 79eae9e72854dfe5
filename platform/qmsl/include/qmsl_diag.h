/* Typed diagnostic commands: mode control, status, NV items, DTR. */
#ifndef QMSL_DIAG_H
#define QMSL_DIAG_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Phone mode control: 0 and 1 offline, 2 reset, 3 FTM, 4 online, 6 power off. */
QMSL_API unsigned char QLIB_DIAG_CONTROL_F(QmslHandle handle, int mode);
/* *state: 1 while online, 0 otherwise. */
QMSL_API unsigned char QLIB_DIAG_STATUS_F(QmslHandle handle, unsigned char* state);
/* *isFtm: 1 while the phone is in factory test mode. */
QMSL_API unsigned char QLIB_IsFTM_Mode(QmslHandle handle, unsigned char* isFtm);

/* NV items: *nvStatus is 0 when the item was read or written. A read copies
 * up to `length` bytes and zero-fills the rest. */
QMSL_API unsigned char QLIB_DIAG_NV_READ_F(QmslHandle handle, unsigned short item, unsigned char* data, int length,
                                           unsigned short* nvStatus);
QMSL_API unsigned char QLIB_DIAG_NV_WRITE_F(QmslHandle handle, unsigned short item, const unsigned char* data,
                                            int length, unsigned short* nvStatus);

/* DTR of the phone's own port: raising it presses the power key. */
QMSL_API unsigned char QLIB_SetDTR_State(QmslHandle handle, unsigned char high);

#ifdef __cplusplus
}
#endif

#endif
