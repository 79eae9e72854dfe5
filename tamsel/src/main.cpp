// The operator program: one panel, one button per operation on the phone.
#include "Tamsel.h"
#include "TamselSimPhones.h"

#include "cvi_events.h"
#include "cvi_panel.h"

int main(int argc, char* argv[]) {
    (void)argc;
    TamselPrepareSimulatedPhones();
    const int panel = TamselStart(argv);
    if (panel < 0) return -1;
    RunUserInterface();
    DiscardPanel(panel);
    return 0;
}
