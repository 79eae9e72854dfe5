// Test side of the diagnostic commands of qmsl_diag_misc.h: the phone's
// answers to the version and SPC commands.
#pragma once

#include "qmsl_diag_misc.h"
#include "qmsl_sim.h"

#include <string>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct DiagInfo {
    std::string spc = "000000";  // the code the phone accepts
    std::string comp_date = "Dec 01 2026", comp_time = "10:00:00";
    std::string rel_date = "Dec 02 2026", rel_time = "11:00:00";
    std::string ver_dir = "M6280A";
    unsigned scm = 0, mob_cai_rev = 0, mob_firm_rev = 0, slot_cycle_index = 0, voc_maj = 0, voc_min = 0;
    // The mobile model comes from the phone's profile.
};

// The phone's version and SPC answers (created on first use).
QMSL_API DiagInfo& diag_info(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
