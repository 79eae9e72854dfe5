// Test side of the simulated phone's memory: a sparse register file per
// phone, addressed by byte, holding values little-endian. Bytes never
// written read as 0. Tests preset registers, read what pokes left there, and
// make registers ignore pokes (a pin that does not follow its register).
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <map>
#include <set>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct MemoryMap {
    std::map<std::uint32_t, std::uint8_t> bytes;
    std::set<std::uint32_t> ignores_pokes;  // byte addresses a poke leaves as they are

    // A value of `width` bytes (1, 2 or 4) at an address.
    std::uint32_t read(std::uint32_t address, unsigned width = 4) const;
    // Test set-up: writes the value whatever ignores_pokes says.
    void preset(std::uint32_t address, std::uint32_t value, unsigned width = 4);
    // What a poke does: writes the bytes that do not ignore pokes.
    void poke(std::uint32_t address, std::uint32_t value, unsigned width);
    // Makes the `width` bytes at an address ignore pokes.
    void ignore_pokes(std::uint32_t address, unsigned width = 4);
};

// The phone's memory (created on first use, goes with the phone).
QMSL_API MemoryMap& memory(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
