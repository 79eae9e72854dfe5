// Panel calls: loading and binding, showing and discarding, control values,
// and the test seams that press buttons.
#include "panel_model.h"
#include "screen.h"

#include "pclock.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

namespace {

struct Panels {
    std::map<int, cvi_panel::Panel> loaded;
    int next_handle = 1;
    std::filesystem::path program_dir;
    bool screen_allowed = true;
};

Panels& panels() {
    static Panels p;
    return p;
}

// A relative name is looked for next to the program first.
std::string resolve(const char* file_name) {
    std::filesystem::path name(file_name);
    const std::filesystem::path& dir = panels().program_dir;
    if (name.is_relative() && !dir.empty()) {
        std::error_code ec;
        std::filesystem::path beside = dir / name;
        if (std::filesystem::is_regular_file(beside, ec)) return beside.string();
    }
    return name.string();
}

int bind_callbacks(cvi_panel::Panel& panel, std::string& error) {
    for (cvi_panel::Control& c : panel.controls) {
        if (c.kind != cvi_panel::Kind::Button) continue;
        void* sym = ::dlsym(RTLD_DEFAULT, c.callback_name.c_str());
        if (!sym) {
            error = "button " + std::to_string(c.id) + " names callback '" + c.callback_name +
                    "', which the program does not export";
            return UI_ERR_UNKNOWN_CALLBACK;
        }
        c.callback = reinterpret_cast<CtrlCallbackPtr>(sym);
    }
    return 0;
}

cvi_panel::Control* find_control(int panel, int control, int& status) {
    cvi_panel::Panel* p = cvi_panel::find_panel(panel);
    if (!p) {
        status = UI_ERR_NO_SUCH_PANEL;
        return nullptr;
    }
    cvi_panel::Control* c = p->find(control);
    status = c ? 0 : UI_ERR_NO_SUCH_CONTROL;
    return c;
}

void redraw_if_shown(int panel) {
    if (cvi_screen::active() && cvi_screen::shown_panel() == panel) cvi_screen::redraw();
}

} // namespace

namespace cvi_panel {

Panel* find_panel(int handle) {
    auto it = panels().loaded.find(handle);
    return it == panels().loaded.end() ? nullptr : &it->second;
}

int press_button(int handle, int control_id) {
    int status = 0;
    Control* c = find_control(handle, control_id, status);
    if (!c) return status;
    if (c->kind != Kind::Button) return UI_ERR_WRONG_CONTROL;
    // Copied: the callback may discard its own panel.
    CtrlCallbackPtr fn = c->callback;
    return fn(handle, control_id, EVENT_COMMIT, nullptr, 0, 0);
}

} // namespace cvi_panel

int InitCVIRTEEx(void* hInstance, char* argv[], void* reserved) {
    if (!argv) return 0;
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec && argv[0]) exe = std::filesystem::absolute(argv[0], ec);
    panels().program_dir = ec ? std::filesystem::path() : exe.parent_path();
    return 1;
}

int SetStdioWindowOptions(int maxLines, int bringToFront, int showLineNumbers) {
    if (maxLines < 1) return UI_ERR_INVALID_PARAMETER;
    cvi_screen::set_stdio_options(maxLines, showLineNumbers != 0);
    return 0;
}

int LoadPanel(int parentPanel, const char* fileName, int resourceId) {
    if (!fileName || parentPanel != 0) return UI_ERR_INVALID_PARAMETER;
    try {
        cvi_panel::Panel panel;
        std::string error;
        int status = cvi_panel::parse_panel_file(resolve(fileName), resourceId, panel, error);
        if (status == 0) status = bind_callbacks(panel, error);
        if (status != 0) {
            std::fprintf(stderr, "LoadPanel: %s\n", error.c_str());
            return status;
        }
        int handle = panels().next_handle++;
        panels().loaded.emplace(handle, std::move(panel));
        return handle;
    } catch (...) {
        return UI_ERR_INVALID_PARAMETER;
    }
}

int DisplayPanel(int panel) {
    if (!cvi_panel::find_panel(panel)) return UI_ERR_NO_SUCH_PANEL;
    if (cvi_screen::active()) {
        if (cvi_screen::shown_panel() != panel) cvi_screen::stop();
        else return 0;
    }
    if (panels().screen_allowed && cvi_screen::terminal_available() && cvi_screen::start(panel)) return 0;
    // Headless: what the program says goes out line by line, into a file
    // too, so that a signal ending the program loses no whole line.
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    return 0;
}

int DiscardPanel(int panel) {
    if (!cvi_panel::find_panel(panel)) return UI_ERR_NO_SUCH_PANEL;
    if (cvi_screen::active() && cvi_screen::shown_panel() == panel) cvi_screen::stop();
    panels().loaded.erase(panel);
    return 0;
}

int GetCtrlVal(int panel, int control, void* value) {
    int status = 0;
    cvi_panel::Control* c = find_control(panel, control, status);
    if (!c) return status;
    if (!value) return UI_ERR_INVALID_PARAMETER;
    switch (c->kind) {
    case cvi_panel::Kind::Numeric:
        *static_cast<int*>(value) = c->value;
        return 0;
    case cvi_panel::Kind::Text:
        std::memcpy(value, c->text.c_str(), c->text.size() + 1);
        return 0;
    case cvi_panel::Kind::Button:
        break;
    }
    return UI_ERR_WRONG_CONTROL;
}

int SetCtrlVal(int panel, int control, ...) {
    int status = 0;
    cvi_panel::Control* c = find_control(panel, control, status);
    if (!c) return status;
    if (c->kind == cvi_panel::Kind::Button) return UI_ERR_WRONG_CONTROL;
    va_list args;
    va_start(args, control);
    if (c->kind == cvi_panel::Kind::Numeric) {
        int v = va_arg(args, int);
        if (v < c->min || v > c->max) status = UI_ERR_OUT_OF_RANGE;
        else c->value = v;
    } else {
        const char* text = va_arg(args, const char*);
        if (!text) {
            status = UI_ERR_INVALID_PARAMETER;
        } else {
            try {
                c->text.assign(text, ::strnlen(text, CVI_TEXT_CONTROL_SIZE - 1));
            } catch (...) {
                status = UI_ERR_INVALID_PARAMETER;
            }
        }
    }
    va_end(args);
    if (status == 0) redraw_if_shown(panel);
    return status;
}

namespace cvi {

bool panel_on_screen() { return cvi_screen::active(); }

} // namespace cvi

namespace cvi_test {

int press(int panel, int control) { return cvi_panel::press_button(panel, control); }

void post_press(int panel, int control) {
    pclock::schedule_after(0, [panel, control] { cvi_panel::press_button(panel, control); });
}

std::string callback_name(int panel, int control) {
    int status = 0;
    cvi_panel::Control* c = find_control(panel, control, status);
    return c ? c->callback_name : std::string();
}

void set_screen_allowed(bool allowed) { panels().screen_allowed = allowed; }

} // namespace cvi_test
