// Makes a simulated phone identify as a given phone-model code: code 3 by
// its build text, the others by the MSM hardware version of MSM model 2 and
// the hardware id that the extension-FTM command answers.
#pragma once

#include "qmsl_ext_ftm.h"
#include "qmsl_sim.h"

#include <gtest/gtest.h>

namespace modeltest {

struct HwIdOfCode {
    unsigned code;
    std::uint8_t hwId;
};
// MSM model 2 rows of the phone-model table; code 0 is a pair with no row.
constexpr HwIdOfCode kMsm2HwIds[] = {{52, 0}, {53, 1}, {54, 9}, {55, 12}, {2, 7},
                                     {34, 10}, {35, 11}, {36, 13}, {40, 14}, {0, 4}};

inline void usePhoneModel(qmsl_sim::Phone& phone, unsigned code) {
    if (code == 3) {
        phone.profile.build_id = "M6280A-PalC1A-0001";
        phone.profile.msm_version = 0x120400E1;
        return;
    }
    phone.profile.build_id = "M6280A-0001";
    phone.profile.msm_version = 1029;
    for (const HwIdOfCode& r : kMsm2HwIds) {
        if (r.code == code) {
            qmsl_sim::ext_ftm(phone).bodies[{qmsl_sim::kExtFtmGroup, 29}] = {0, 0, r.hwId, 0};
            return;
        }
    }
    ADD_FAILURE() << "no hardware id for phone-model code " << code;
}

// The hardware id a phone of that code reports.
inline unsigned hwIdOf(unsigned code) {
    if (code == 3) return 8;
    for (const HwIdOfCode& r : kMsm2HwIds)
        if (r.code == code) return r.hwId;
    return 0;
}

} // namespace modeltest
