// Test side of the simulated phone's power-management chip: what the PMIC
// commands left there, and the real-time interrupt status a test sets.
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <map>
#include <optional>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct RtcTime {
    std::uint8_t mode = 0;
    std::uint8_t month = 1;
    std::uint8_t day = 1;
    std::uint16_t year = 2000;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;
    bool operator==(const RtcTime&) const = default;
};

struct Pmic {
    std::uint32_t vregs_on = 0;                       // supplies switched on, by mask bit
    std::map<int, int> vreg_level_mv;                 // last level set per supply
    std::map<int, bool> charger_switch;               // last state set per charger switch
    std::map<int, std::uint8_t> rt_status;            // interrupt id -> status (unset reads 0)
    RtcTime rtc;                                      // kept as written; it does not run
    struct Limits {
        std::uint8_t current_code = 0;
        std::uint8_t voltage_code = 0;
    };
    std::optional<Limits> charger_limits;             // unset until configured
    std::map<int, int> drive_level;                   // last drive level set per current sink
};

// The phone's PMIC (created on first use, goes with the phone).
QMSL_API Pmic& pmic(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
