// Test side of the simulated phone's batched NV writes. While batch mode is
// on, an NV write is queued (the call succeeds with NV status 0) instead of
// reaching the item store. The flush writes the queue in order and ends batch
// mode; switching batch mode off discards what is queued.
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <utility>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct NvBatch {
    bool on = false;
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> queue;  // item, data
};

NvBatch& nv_batch(Phone& phone);
// Queues an NV write when batch mode is on; false (nothing done) otherwise.
bool nv_batch_queue(Phone& phone, std::uint16_t item, const std::vector<std::uint8_t>& data);

} // namespace qmsl_sim
#pragma GCC visibility pop
