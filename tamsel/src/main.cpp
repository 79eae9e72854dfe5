// The operator program: one panel, one button per operation on the phone.
#include "Tamsel.h"
#include "TamselSimPhones.h"
#include "TamselSimRemote.h"

#include "cvi_events.h"
#include "cvi_panel.h"

#include <cstdio>
#include <string>

int main(int argc, char* argv[]) {
    (void)argc;
    TamselPrepareSimulatedPhones();
    const std::string remote = TamselOpenSimulatedRemote();
    const int panel = TamselStart(argv);
    if (panel < 0) return -1;
    if (!remote.empty()) std::printf("%s\n", remote.c_str());  // into the output pane
    RunUserInterface();
    DiscardPanel(panel);
    return 0;
}
