// Batched NV writes. Without a test's handler the phone accepts both calls;
// the flush gives back the outputs a test set (zeros otherwise).
#include "qmsl_nv_batch.h"
#include "qmsl_sim.h"

using namespace qmsl_sim;

unsigned char QLIB_DIAG_NV_WRITE_SetBatchMode(QmslHandle h, unsigned char start) {
    return typed_call(h, __func__, {start}, {});
}
unsigned char QLIB_DIAG_NV_WRITE_FlushBatchQueue(QmslHandle h, unsigned short* lastErrorNvId,
                                                 unsigned short* totalStatus, unsigned char* lastItemStatus) {
    return typed_call(h, __func__, {}, {out(lastErrorNvId), out(totalStatus), out(lastItemStatus)});
}
