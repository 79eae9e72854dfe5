// Test side of the simulated phone's I2C bus (extension-FTM command 15).
//
// Until a test places a device, every slave address answers from the
// register contents of the extension-FTM state (qmsl_ext_ftm.h), zeros where
// none are set. Once a device is placed, only placed addresses answer; an
// access to any other address is answered at once with status
// kI2cNoDevice and no data, as a bus on which nobody acknowledges the
// address, so a scan of the bus never waits for time-outs.
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

constexpr std::uint16_t kI2cNoDevice = 1;

struct I2cBus {
    bool modelled = false;             // set by the first placed device
    std::set<std::uint8_t> devices;    // slave addresses that answer
};

// The phone's I2C bus (created on first use, goes with the phone).
QMSL_API I2cBus& i2c_bus(Phone& phone);
// Places a device at a slave address with register contents (register
// address -> bytes from there on), kept in the extension-FTM state.
QMSL_API void place_i2c_device(Phone& phone, std::uint8_t slave,
                               const std::map<std::uint16_t, std::vector<std::uint8_t>>& registers = {});
// Whether an access to the slave address reaches a device.
QMSL_API bool i2c_answers(Phone& phone, std::uint8_t slave);

} // namespace qmsl_sim
#pragma GCC visibility pop
