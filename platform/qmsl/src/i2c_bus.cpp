// The phone's I2C bus: which slave addresses answer.
#include "qmsl_ext_ftm.h"
#include "qmsl_i2c_sim.h"

#include "library.h"

namespace qmsl_sim {

I2cBus& i2c_bus(Phone& phone) {
    return family_state_of<I2cBus>(phone, "i2c_bus");
}

void place_i2c_device(Phone& phone, std::uint8_t slave,
                      const std::map<std::uint16_t, std::vector<std::uint8_t>>& registers) {
    I2cBus& bus = i2c_bus(phone);
    bus.modelled = true;
    bus.devices.insert(slave);
    for (const auto& [reg, bytes] : registers) ext_ftm(phone).i2c[{slave, reg}] = bytes;
}

bool i2c_answers(Phone& phone, std::uint8_t slave) {
    const I2cBus& bus = i2c_bus(phone);
    return !bus.modelled || bus.devices.count(slave) != 0;
}

} // namespace qmsl_sim
