// Start of the program: run-time, panel, trace session.
#include "Tamsel.h"

#include "cvi_panel.h"
#include "gorvid.h"

int TamselStart(char* argv[]) {
    if (InitCVIRTEEx(nullptr, argv, nullptr) == 0) return -1;
    SetStdioWindowOptions(10000, 1, 1);
    const int panel = LoadPanel(0, "Tamsel.uir", TAMSEL_PANEL_RESOURCE);
    if (panel < 0) return -1;
    DisplayPanel(panel);
    iErrStatus = tracer_init("TERMINAL:1:FILE:1:MAXFILES:010:FILENAME:tracefile", &sesTracer);
    iErrStatus = GorvidPut_SesTracer(sesTracer);
    iErrStatus = tracer_openFile(sesTracer);
    return panel;
}
