// The drive level of the power-management chip's current sinks: the phone
// keeps the last level set per sink.
#include "qmsl_pmic_sim.h"

#include "library.h"

using namespace qmsl_sim;

namespace {
const bool registered = [] {
    set_default_handler("QLIB_FTM_SET_PMIC_DRIVE_LEVEL", [](Phone& p, const Call& c) {
        pmic(p).drive_level[static_cast<int>(c.in[0].value)] = static_cast<int>(c.in[1].value);
        return true;
    });
    return true;
}();
} // namespace
