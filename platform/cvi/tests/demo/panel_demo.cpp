// A tiny program with a panel, run in a terminal by the front-end test:
// panel_demo <panel file> [lines kept]. Its buttons count, show a message,
// ask for a name and quit; each reports in the status line. The output
// window keeps the given number of lines (default: the run-time's).
#include "cvi_events.h"
#include "cvi_panel.h"
#include "cvi_popup.h"

#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kCount = 2, kStatus = 7;
}

extern "C" {

int CVICALLBACK demo_add(int panel, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    int count = 0;
    GetCtrlVal(panel, kCount, &count);
    int status = SetCtrlVal(panel, kCount, count + 1);
    std::printf("add: %d\n", count + 1);
    SetCtrlVal(panel, kStatus, status == 0 ? "added one" : "count is at its maximum");
    return status == 0 ? 0 : -1;
}

int CVICALLBACK demo_hello(int panel, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    MessagePopup("Greeting", "Hello from the panel");
    SetCtrlVal(panel, kStatus, "greeted");
    return 0;
}

int CVICALLBACK demo_ask(int panel, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    char name[33] = "nobody";
    char line[64];
    if (PromptPopup("Name", "Your name?", name, 32) != 0) {
        SetCtrlVal(panel, kStatus, "prompt cancelled");
        return -1;
    }
    std::snprintf(line, sizeof line, "name: %s", name);
    SetCtrlVal(panel, kStatus, line);
    return 0;
}

int CVICALLBACK demo_quit(int panel, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    std::printf("quit pressed\n");
    QuitUserInterface(0);
    return 0;
}

} // extern "C"

int main(int argc, char* argv[]) {
    if (argc < 2 || InitCVIRTEEx(nullptr, argv, nullptr) == 0) return 2;
    int panel = LoadPanel(0, argv[1], 1);
    if (panel < 0) return 1;
    if (argc > 2) SetStdioWindowOptions(std::atoi(argv[2]), 1, 0);
    DisplayPanel(panel);
    std::printf("demo started\n");
    int code = RunUserInterface();
    DiscardPanel(panel);
    return code;
}
