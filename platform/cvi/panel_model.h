// Inside the panel family: what a loaded panel holds, shared by the file
// loader, the panel calls and the terminal front end.
#pragma once

#include "cvi_panel.h"

#include <string>
#include <vector>

namespace cvi_panel {

enum class Kind { Numeric, Text, Button };

struct Control {
    Kind kind = Kind::Button;
    int id = 0;
    std::string label;
    // Numeric controls.
    int value = 0;
    int min = 0;
    int max = 0;
    // Text controls.
    std::string text;
    // Buttons.
    std::string callback_name;
    CtrlCallbackPtr callback = nullptr;
};

struct Panel {
    int resource_id = 0;
    std::string title;
    std::vector<Control> controls;  // in file order: the order on the screen

    Control* find(int control_id);
};

// Parses panel `resource_id` of the file at `path` into `out` (callbacks not
// yet bound). Returns 0 or a UI_ERR_*; `error` gets the reason.
int parse_panel_file(const std::string& path, int resource_id, Panel& out, std::string& error);

// The loaded panel with this handle, or null.
Panel* find_panel(int handle);
// Runs a button's callback with EVENT_COMMIT (see cvi_test::press).
int press_button(int handle, int control_id);

} // namespace cvi_panel
