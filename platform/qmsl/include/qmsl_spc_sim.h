// Test side of the simulated phone's service programming code: the code in
// NV item 85, the unlock tries left in NV item 3252, the lock that makes NV
// 85 unreadable, and the check of a code sent with QLIB_DIAG_SPC_F.
//
// With the model on, QLIB_DIAG_SPC_F compares the six bytes sent with NV 85:
//   - equal while tries are left: the phone opens (answers 1, tries kept);
//   - else: the phone answers 0, locks, loses one try (not below 0) and then
//     stays silent for silent_ms (its power is "booting"; -1: for good).
// Without the model the phone keeps its default check against a fixed code.
#pragma once

#include "qmsl_sim.h"

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct SpcLock {
    std::string code = "000000";  // NV 85
    int tries = 10;               // NV 3252
    bool locked = false;
    long long silent_ms = 5000;   // silence after a refused code; -1 for good
};

// Puts the model on a phone: NV 85, NV 3252 and the lock as given.
void use_spc_lock(Phone& phone, const SpcLock& lock);
// The tries left in NV 3252 (-1 when the item is missing).
int spc_tries(const Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
