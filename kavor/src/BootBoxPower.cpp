// Box power-on and power-off: the control-line box works the phone's power
// key; the procedures wait for the phone and bring it into the wanted mode.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "ProcedureTiming.h"
#include "qmsl_diag.h"
#include "win_time.h"

namespace kavor {

namespace {
enum WantedMode : unsigned char { WantOnline = 0, WantFtm = 1 };
}

bool TestProcedures::bootBoxSwitchMobileOn(unsigned short usBootBoxPort, unsigned char ucMode) {
    // The box comes first: the phone cannot answer a handle check before it
    // is switched on.
    if (!logResult(box_.switchOn(usBootBoxPort), "SwitchPhoneOn(iBootBoxPort = %i)", usBootBoxPort)) return false;

    if (!QLIB_IsPhoneConnected(handle_)) {
        bool bAnswered = false;
        for (DWORD dwElapsed = 0; dwElapsed < kBootWaitMs && !bAnswered;) {
            logStep(StepInfo, "Waiting for mobile to respond(%i ms)", static_cast<int>(dwElapsed));
            dwElapsed += kBootPollMs;
            Sleep(kBootPollMs);
            bAnswered = QLIB_IsPhoneConnected(handle_) != 0;
        }
        if (!bAnswered) return false;
    }

    // The call runs before its line is formatted: the line shows the answer.
    unsigned char ucIsFtm = 0;
    bool bOk = QLIB_IsFTM_Mode(handle_, &ucIsFtm) != 0;
    if (!logResult(bOk, "QLIB_IsFTM_Mode(pbIsFTMMode = %i)", ucIsFtm)) return false;

    if ((ucMode == WantFtm && ucIsFtm == 1) || (ucMode == WantOnline && ucIsFtm == 0)) {
        logStep(StepInfo, "Phone already in correct mode");
    } else if (ucMode == WantFtm || ucMode == WantOnline) {
        if (!logResult(KAVOR_ModeChangeResetMobile(handle_, ucMode) != 0, "KAVOR_ModeChangeResetMobile(%i)", ucMode))
            return false;
    }

    if (!KAVOR_CheckHandle(handle_)) return false;

    if (ucMode == WantFtm) {
        bOk = QLIB_IsFTM_Mode(handle_, &ucIsFtm) != 0;
        if (!logResult(bOk, "QLIB_IsFTM_Mode(pbIsFTMMode = %i)", ucIsFtm)) return false;
        if (ucIsFtm != 1) {
            logStep(StepFailed, "Mobile not in FTM mode");
            return false;
        }
    } else if (ucMode == WantOnline) {
        unsigned char ucState = 0;
        if (!logResult(QLIB_DIAG_STATUS_F(handle_, &ucState) != 0, "QLIB_DIAG_STATUS_F")) return false;
        if (ucState != 1) {
            logStep(StepFailed, "Mobile not in Online mode");
            return false;
        }
    }
    return true;
}

bool TestProcedures::bootBoxSwitchMobileOff(unsigned short usBootBoxPort) {
    if (!KAVOR_CheckHandle(handle_)) return false;

    // The FTM flag goes back unchanged after the offline step, so the phone
    // starts the next time in the mode it was set up for.
    unsigned char ucFlag = 0;
    if (!logResult(KAVOR_DIAG_NV_READ_F(handle_, kNvFtmMode, &ucFlag, 1) != 0, "KAVOR_DIAG_NV_READ_F")) return false;
    if (!logResult(QLIB_DIAG_CONTROL_F(handle_, kModeOffline) != 0, "QLIB_DIAG_CONTROL_F")) return false;

    static const OfflineWaitTexts kTexts{nullptr, false, "Mobile is in Offline mode", "Mobile not in Offline mode"};
    if (!waitForOffline(kTexts)) return false;

    if (!logResult(KAVOR_DIAG_NV_WRITE_F(handle_, kNvFtmMode, &ucFlag, 1) != 0, "KAVOR_DIAG_NV_WRITE_F")) return false;
    if (!logResult(box_.switchOff(usBootBoxPort), "SwitchPhoneOff")) return false;
    if (!logResult(QLIB_DIAG_CONTROL_F(handle_, kModePowerOff) != 0, "QLIB_DIAG_CONTROL_F")) return false;

    const DWORD dwDeadline = GetTickCount() + kPowerOffWaitMs;
    Sleep(1);
    while (QLIB_IsPhoneConnected(handle_)) {
        Sleep(kPowerOffPollMs);
        if (tickBefore(dwDeadline, GetTickCount())) {
            logStep(StepFailed, "Mobile is still on");
            return false;
        }
    }
    Sleep(1);
    return true;
}

} // namespace kavor
