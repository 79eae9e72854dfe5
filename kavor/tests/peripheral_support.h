// Shared pieces of the peripheral procedure tests: phone models of both MSM
// families, the memory of the simulated phone, and what reached it.
#pragma once

#include "phone_model_support.h"
#include "procedures_fixture.h"
#include "qmsl_memory_sim.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace periphtest {

// MSM model 1 rows of the phone-model table (a hardware id per code).
constexpr modeltest::HwIdOfCode kMsm1HwIds[] = {{23, 0}, {24, 2}, {25, 5}, {13, 8}, {15, 12}};

// Makes the phone identify as the code, MSM model 1 or 2 or model 3.
inline void usePhoneModel(qmsl_sim::Phone& phone, unsigned code) {
    for (const modeltest::HwIdOfCode& r : kMsm1HwIds) {
        if (r.code == code) {
            phone.profile.build_id = "M6250A-0001";
            phone.profile.msm_version = 64;
            qmsl_sim::ext_ftm(phone).bodies[{qmsl_sim::kExtFtmGroup, 29}] = {0, 0, r.hwId, 0};
            return;
        }
    }
    modeltest::usePhoneModel(phone, code);
}

// The extension-FTM command ids the phone received, in order (the model's
// hardware-id query, command 29, left out).
inline std::vector<int> ftmCommands(const qmsl_sim::Phone& phone) {
    std::vector<int> ids;
    for (const auto& e : phone.calls("QLIB_SendSync")) {
        if (e.bytes.size() < 10 || e.bytes[0] != 0x4B || e.bytes[2] != 0x00 || e.bytes[3] != 0x80) continue;
        const int id = e.bytes[4] | (e.bytes[5] << 8);
        if (id != 29) ids.push_back(id);
    }
    return ids;
}

// Every 32-bit poke in order: (address, value poked).
using Pokes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
inline Pokes dwordPokes(const qmsl_sim::Phone& phone) {
    Pokes r;
    for (const auto& e : phone.calls("QLIB_DIAG_MEMORY_POKE_DWORD_F")) {
        std::uint32_t v = 0;
        for (std::size_t b = 0; b < 4 && b < e.bytes.size(); ++b) v |= static_cast<std::uint32_t>(e.bytes[b]) << (8 * b);
        r.emplace_back(static_cast<std::uint32_t>(e.args[0]), v);
    }
    return r;
}

} // namespace periphtest
