// Inside the popup family: a popup is recorded (cvi_test::popups()) while
// a test asks for it and, without a screen, echoed to standard error with
// its control bytes shown.
#pragma once

namespace cvi_popup {

void record(const char* kind, const char* title, const char* text);

} // namespace cvi_popup
