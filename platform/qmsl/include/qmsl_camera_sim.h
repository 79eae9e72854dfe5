// Test side of the simulated phone's camera: the sensor selected, whether it
// runs, and the camera status each command answers. The sensors' identity
// registers are I2C registers of the extension-FTM state (qmsl_ext_ftm.h).
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <map>
#include <string>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct Camera {
    int sensor = -1;       // last sensor selected; -1 before
    bool running = false;  // started and not stopped since
    // Camera status answered per function name (unset: 0). A command that
    // answers a status other than 0 changes nothing.
    std::map<std::string, std::uint16_t> statuses;
};

// The phone's camera (created on first use, goes with the phone).
QMSL_API Camera& camera(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
