#include "panel_test_callbacks.h"

#include "cvi_events.h"

namespace panel_test {
std::vector<Call>& calls() {
    static std::vector<Call> c;
    return c;
}
} // namespace panel_test

extern "C" {

int CVICALLBACK panel_test_count(int panel, int control, int event, void*, int, int) {
    panel_test::calls().push_back({panel, control, event});
    return 0;
}

int CVICALLBACK panel_test_fail(int panel, int control, int event, void*, int, int) {
    panel_test::calls().push_back({panel, control, event});
    return -1;
}

int CVICALLBACK panel_test_quit(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) QuitUserInterface(42);
    return 0;
}

} // extern "C"
