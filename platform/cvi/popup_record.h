// Inside the popup family: every popup is recorded (cvi_test::popups()) and,
// without a screen, echoed to standard error.
#pragma once

namespace cvi_popup {

void record(const char* kind, const char* title, const char* text);

} // namespace cvi_popup
