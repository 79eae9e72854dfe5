// Switching the phone: FTM mode, phone off, and the quit button.
#include "Tamsel.h"
#include "TamselCallbacks.h"

#include "cvi_events.h"

#include <cstdio>

namespace {

constexpr int kMobileOnTimeoutMs = 40000;

// The session of an earlier press is disconnected (when it still is
// connected) and closed first, so repeated presses never use up the
// library's sessions.
void closePreviousSession() {
    if (sesMobile == 0) return;
    if (bMobileConnected) iErrStatus = _Tessel_DisonnectServer(sesMobile, TAMSEL_AT);
    bMobileConnected = false;
    iErrStatus = _Tessel_close(sesMobile, TAMSEL_AT);
    sesMobile = 0;
}

int ftmMode(int panel) {
    closePreviousSession();
    GetCtrlVal(panel, TAMSEL_CTRL_COM_PORT, &iComPort);
    char cResource[64];
    std::snprintf(cResource, sizeof cResource, "ASRL%d::INSTR::LIB:qc:TRACELEVEL:9", iComPort);
    if ((iErrStatus = _Tessel_init(cResource, sesTracer, &sesMobile, TAMSEL_AT)) != 0) {
        TamselLibFail(iErrStatus);
        return TamselSwitchErrorBlock();
    }
    if ((iErrStatus = _Tessel_ConnectServer(sesMobile, TAMSEL_AT)) != 0) {
        TamselLibFail(iErrStatus);
        return TamselSwitchErrorBlock();
    }
    bMobileConnected = true;
    if ((iErrStatus = _Tessel_SpecialMobileOnFtm(sesMobile, kMobileOnTimeoutMs, TAMSEL_AT)) != 0 ||
        (iErrStatus = _Tessel_TraceDelay(1000, TAMSEL_AT)) != 0) {
        TamselLibFail(iErrStatus);
        return TamselSwitchErrorBlock();
    }
    return 0;
}

int mobileOff(int) {
    if ((iErrStatus = _Tessel_SpecialPhoneOff(sesMobile, TAMSEL_AT)) != 0 ||
        (iErrStatus = _Tessel_DisonnectServer(sesMobile, TAMSEL_AT)) != 0) {
        TamselLibFail(iErrStatus);
        return TamselSwitchErrorBlock();
    }
    bMobileConnected = false;
    return 0;
}

// The phone session is left as it is.
int quit(int) {
    iErrStatus = tracer_closeFile(sesTracer);
    iErrStatus = tracer_close(sesTracer);
    QuitUserInterface(0);
    return 0;
}

} // namespace

TAMSEL_COMMAND(cmdftmmode, "FTM mode", ftmMode)
TAMSEL_COMMAND(cmdmoboff, "Phone off", mobileOff)
TAMSEL_COMMAND(cmdquit, "Quit", quit)
