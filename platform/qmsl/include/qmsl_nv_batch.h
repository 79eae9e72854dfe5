/* Batched NV writes: while batch mode is on, the phone queues NV writes and
 * the flush sends the queue, reporting the last item that failed, the total
 * status (0 when every queued write was done) and that item's NV status. */
#ifndef QMSL_NV_BATCH_H
#define QMSL_NV_BATCH_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

QMSL_API unsigned char QLIB_DIAG_NV_WRITE_SetBatchMode(QmslHandle handle, unsigned char startBatchMode);
QMSL_API unsigned char QLIB_DIAG_NV_WRITE_FlushBatchQueue(QmslHandle handle, unsigned short* lastErrorNvId,
                                                          unsigned short* totalStatus,
                                                          unsigned char* lastItemStatus);

#ifdef __cplusplus
}
#endif

#endif
