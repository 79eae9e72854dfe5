#include "cvi_popup.h"

#include <cstdio>

namespace {

struct PopupState {
    std::vector<cvi_test::Popup> shown;
    bool echo = true;
};

PopupState& popup_state() {
    static PopupState s;
    return s;
}

void record(const char* kind, const char* title, const char* text) {
    PopupState& s = popup_state();
    s.shown.push_back({kind, title ? title : "", text ? text : ""});
    if (s.echo) std::fprintf(stderr, "[%s] %s\n", title ? title : "", text ? text : "");
}

} // namespace

int MessagePopup(const char* title, const char* message) {
    record("message", title, message);
    return 1;
}

namespace cvi_test {
const std::vector<Popup>& popups() { return popup_state().shown; }
void clear_popups() { popup_state().shown.clear(); }
void set_popup_echo(bool on) { popup_state().echo = on; }
} // namespace cvi_test
