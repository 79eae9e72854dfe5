// Test side of the simulated phone's key presses: the key map as the calls
// built it, the key detection last configured, and the event queue a test
// fills (as if keys were pressed) and the calls read.
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct KeyEvent {
    std::uint16_t key_id = 0;
    std::uint8_t event = 0;  // 1 key down, 0 key up
    bool operator==(const KeyEvent&) const = default;
};

struct KeyDetect {
    std::string key_up, key_down;
    std::uint16_t ssid = 0;
    std::uint32_t rt_mask = 0;
    bool operator==(const KeyDetect&) const = default;
};

struct Keypad {
    std::vector<std::pair<std::uint16_t, std::uint8_t>> map;  // in the order added
    std::optional<KeyDetect> detect;                          // unset until configured
    bool capturing = false;
    std::deque<KeyEvent> queue;
};

// The phone's key presses (created on first use, goes with the phone).
QMSL_API Keypad& keypad(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
