// Test side of the simulated phone's extension-FTM, LTM and GPIO requests.
//
// The phone answers each known command with the 10-byte header of the
// request echoed, then the reply data in the shape that the command's
// decoding expects (status and fields where the command reads them). Tests
// set the values it answers, replace a reply's data whole, or set the status
// it reports; the stores (factory data, memory-card files, I2C registers, KC
// file, GPIO pins, keypad backlight, display) also keep what write requests
// put there.
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

constexpr std::uint16_t kExtFtmGroup = 0x8000;
constexpr std::uint16_t kLtmGroup = 0x8001;

using FtmCommandKey = std::pair<std::uint16_t, std::uint16_t>;  // (group, command id)

struct GpioPin {
    std::uint8_t out = 0, in = 0, oe = 0;
    std::uint8_t select = 0, pull_ud = 0, pull_en = 0, dir = 0;
};

struct ExtFtmState {
    // Reply bytes after the echoed header, replacing the phone's own answer.
    std::map<FtmCommandKey, std::vector<std::uint8_t>> bodies;
    // Status written at the command's status place of its reply.
    std::map<FtmCommandKey, std::uint16_t> statuses;
    // Factory-data bytes by address (command 21).
    std::map<std::uint16_t, std::uint8_t> factory_data;
    // Memory-card files by name (command 18); reading a missing one answers status 1.
    std::map<std::string, std::vector<std::uint8_t>> mmc_files;
    // I2C register contents by (slave address, register address) (command 15).
    std::map<std::pair<std::uint8_t, std::uint16_t>, std::vector<std::uint8_t>> i2c;
    // The SIM's KC file (commands 204 and 205).
    std::vector<std::uint8_t> kc_file = std::vector<std::uint8_t>(9, 0);
    // GPIO pins by number and the GPIO status answered per operation.
    std::map<std::uint8_t, GpioPin> gpio;
    std::map<std::uint32_t, std::uint8_t> gpio_status;
    // Keypad backlight rows switched (command 245, value on + 10 x row): row -> on.
    std::map<std::uint32_t, std::uint32_t> keypad_backlight;
    // Raw slider state the phone answers (command 246).
    std::uint16_t slider_state = 0;
    // Display last selected by the display switch (command 200); -1 before.
    int display = -1;
    // The IrDA transmit-receive test, switched on and off by LTM command 1340
    // (its second data byte); only an answered command switches it.
    bool irda_test = false;
    // Low-power mode 3 switches the diagnostics off: the phone stays silent
    // unless this is set.
    bool answers_low_power_3 = false;
    // A phone outside FTM mode leaves the extension-FTM commands unanswered
    // when this is set (by default it answers them in any mode).
    bool answers_only_in_ftm = false;
};

// The phone's extension-FTM state (created on first use, goes with the phone).
QMSL_API ExtFtmState& ext_ftm(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
