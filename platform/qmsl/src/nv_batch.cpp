// Batched NV writes: the phone queues NV writes while batch mode is on and
// writes them at the flush. The flush reports the last item whose write was
// refused, a total status (0 when every write was done, else 1) and that
// item's NV status; outputs a test set replace the report.
#include "qmsl_nv_batch.h"
#include "qmsl_nv_batch_sim.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_DIAG_NV_WRITE_SetBatchMode(QmslHandle h, unsigned char start) {
    return typed_call(h, __func__, {start}, {});
}
unsigned char QLIB_DIAG_NV_WRITE_FlushBatchQueue(QmslHandle h, unsigned short* lastErrorNvId,
                                                 unsigned short* totalStatus, unsigned char* lastItemStatus) {
    return typed_call(h, __func__, {}, {out(lastErrorNvId), out(totalStatus), out(lastItemStatus)});
}

namespace qmsl_sim {

NvBatch& nv_batch(Phone& phone) {
    return family_state_of<NvBatch>(phone, "nv_batch");
}

bool nv_batch_queue(Phone& phone, std::uint16_t item, const std::vector<std::uint8_t>& data) {
    NvBatch& batch = nv_batch(phone);
    if (!batch.on) return false;
    batch.queue.emplace_back(item, data);
    return true;
}

} // namespace qmsl_sim

namespace {

const bool registered = [] {
    set_default_handler("QLIB_DIAG_NV_WRITE_SetBatchMode", [](Phone& p, const Call& c) {
        NvBatch& batch = nv_batch(p);
        batch.on = c.in[0].value != 0;
        if (!batch.on) batch.queue.clear();
        return true;
    });
    set_default_handler("QLIB_DIAG_NV_WRITE_FlushBatchQueue", [](Phone& p, const Call& c) {
        NvBatch& batch = nv_batch(p);
        long long lastErrorId = 0, total = 0, lastItemStatus = 0;
        for (const auto& [item, data] : batch.queue) {
            NvItem& nv = p.nv[item];
            if (nv.status == 0) {
                nv.data = data;
                continue;
            }
            lastErrorId = item;
            total = 1;
            lastItemStatus = nv.status;
        }
        batch.queue.clear();
        batch.on = false;
        const long long report[] = {lastErrorId, total, lastItemStatus};
        const std::vector<OutValue>* given = p.outputs("QLIB_DIAG_NV_WRITE_FlushBatchQueue");
        for (std::size_t i = 0; i < std::size(report); ++i)
            c.set(i, given && i < given->size() ? (*given)[i].value : report[i]);
        return true;
    });
    return true;
}();

} // namespace
