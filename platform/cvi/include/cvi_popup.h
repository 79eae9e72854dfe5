// Popups. Popups are recorded for tests (below), so they can read what the
// operator would have seen. While a panel is on the terminal (cvi_panel.h) a popup
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

// Popups are recorded only once a test asked for them: clear_popups(),
// set_popup_echo() or record_popups(true) start the record. A program that
// never calls them (the station, running for days) keeps none in memory.

// Every popup recorded since the last clear, in order.
CVI_API const std::vector<Popup>& popups();
// Forgets the recorded popups; starts the record.
CVI_API void clear_popups();
// Stops (or resumes) the echo of popups to standard error; starts the
// record.
CVI_API void set_popup_echo(bool on);
// Starts or stops the record (what was recorded stays until cleared).
CVI_API void record_popups(bool on);

} // namespace cvi_test
#endif
