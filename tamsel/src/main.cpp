// The operator program: one panel, one button per operation on the phone.
#include "Tamsel.h"
#include "TamselSimPhones.h"
#include "TamselSimRemote.h"

#include "cvi_events.h"
#include "cvi_panel.h"

#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char* argv[]) {
    (void)argc;
    TamselPrepareSimulatedPhones();
    const std::string remote = TamselOpenSimulatedRemote();
    const int panel = TamselStart(argv);
    if (panel < 0) return -1;
    // Without a terminal nothing can press Quit. Headless, the run-time
    // writes each line out as it is complete.
    if (!cvi::panel_on_screen())
        std::printf("Tamsel runs headless (no terminal for its panel): end it with Ctrl-C or kill %d\n",
                    static_cast<int>(::getpid()));
    if (!remote.empty()) std::printf("%s\n", remote.c_str());  // on the screen: into the output pane
    RunUserInterface();
    DiscardPanel(panel);
    return 0;
}
