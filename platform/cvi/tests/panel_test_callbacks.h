// Callbacks that the panel tests bind by name from tests/data/good.uir.
#pragma once

#include "cvi_panel.h"

#include <vector>

namespace panel_test {

struct Call {
    int panel, control, event;
};
// Every call of panel_test_count and panel_test_fail, in order.
std::vector<Call>& calls();

} // namespace panel_test
