// Test side of the simulated phone's root key and secure device
// information: the key the phone holds, what a read gives back, and the
// command status each command answers. A test's set_outputs for one of
// these functions takes precedence over the store.
#pragma once

#include "qmsl_gsdi.h"
#include "qmsl_sim.h"

#include <cstdint>
#include <optional>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct RootKeyStore {
    std::vector<std::uint8_t> key;                        // as the last accepted write left it
    std::optional<std::vector<std::uint8_t>> read_back;   // a read answers this instead of the key
    // Command statuses answered; a write or read with a status other than 0
    // does nothing.
    std::uint32_t write_status = 0, read_status = 0, device_info_status = 0;
};

// The phone's root key store (created on first use, goes with the phone).
QMSL_API RootKeyStore& root_key(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
