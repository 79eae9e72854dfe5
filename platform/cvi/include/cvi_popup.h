// Popups. Every popup is recorded, so tests can read what the operator
// would have seen. While a panel is on the terminal (cvi_panel.h) a popup
// is a dialog that waits for the operator; otherwise a popup writes its
// title and text to standard error and returns at once. PromptPopup is
// declared in cvi_panel.h.
#pragma once

#include "cvi_util.h"

#ifdef __cplusplus
extern "C" {
#endif

// Shows a message with an OK button; returns 1 (the OK button).
CVI_API int MessagePopup(const char* title, const char* message);

#ifdef __cplusplus
}

#include <string>
#include <vector>

namespace cvi_test {

struct Popup {
    std::string kind;  // "message" or "prompt"
    std::string title;
    std::string text;  // the message (of a prompt: its question)
};

// Every popup shown since the last clear, in order.
CVI_API const std::vector<Popup>& popups();
CVI_API void clear_popups();
// Stops (or resumes) the echo of popups to standard error.
CVI_API void set_popup_echo(bool on);

} // namespace cvi_test
#endif
