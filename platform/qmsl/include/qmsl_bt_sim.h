// Test side of the simulated phone's Bluetooth module: what the Bluetooth
// commands left there and the module version it reports.
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <optional>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct Bluetooth {
    bool enabled = false;
    std::optional<std::uint8_t> cw_channel;               // channel of the carrier, once set
    std::optional<std::vector<std::uint8_t>> address;     // the six bytes last set
    std::vector<std::vector<std::uint8_t>> hci_commands;  // HCI packets in order
    std::uint32_t module_version = 0;
};

// The phone's Bluetooth module (created on first use, goes with the phone).
QMSL_API Bluetooth& bluetooth(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
