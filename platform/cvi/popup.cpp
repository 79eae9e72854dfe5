#include "cvi_popup.h"

#include "cvi_shown_text.h"
#include "popup_record.h"
#include "screen.h"

#include <cstdio>

namespace {

struct PopupState {
    std::vector<cvi_test::Popup> shown;
    bool echo = true;
    bool record = false;  // on once a test asks for the popups
};

PopupState& popup_state() {
    static PopupState s;
    return s;
}

} // namespace

namespace cvi_popup {

void record(const char* kind, const char* title, const char* text) {
    PopupState& s = popup_state();
    if (s.record) s.shown.push_back({kind, title ? title : "", text ? text : ""});
    // On the screen the dialog shows it; an echo would write over the panel.
    if (s.echo && !cvi_screen::active())
        std::fprintf(stderr, "[%s] %s\n", cvi::shown_text(title ? title : "").c_str(),
                     cvi::shown_text(text ? text : "").c_str());
}

} // namespace cvi_popup

int MessagePopup(const char* title, const char* message) {
    try {
        cvi_popup::record("message", title, message);
        if (cvi_screen::active()) cvi_screen::message_dialog(title ? title : "", message ? message : "");
    } catch (...) {
    }
    return 1;
}

namespace cvi_test {
const std::vector<Popup>& popups() { return popup_state().shown; }
void clear_popups() {
    popup_state().shown.clear();
    popup_state().record = true;
}
void set_popup_echo(bool on) {
    popup_state().echo = on;
    popup_state().record = true;
}
void record_popups(bool on) { popup_state().record = on; }
} // namespace cvi_test
