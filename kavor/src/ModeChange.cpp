// Mode change by reset: offline, the FTM flag (NV 453) set to the wanted
// start mode, reset, then wait for the phone to come back.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "ProcedureTiming.h"
#include "qmsl_diag.h"
#include "win_time.h"

namespace kavor {

bool TestProcedures::waitForOffline(const OfflineWaitTexts& texts) {
    unsigned char ucState = 1;
    const DWORD dwDeadline = GetTickCount() + kOfflineWaitMs;
    while (tickBefore(GetTickCount(), dwDeadline)) {
        if (texts.pcStart) logStep(StepInfo, "%s", texts.pcStart);
        const bool bOk = QLIB_DIAG_STATUS_F(handle_, &ucState) != 0;
        const bool bLogged = texts.bShowState ? logResult(bOk, "QLIB_DIAG_STATUS_F(iTMC_State = %d)", ucState)
                                              : logResult(bOk, "QLIB_DIAG_STATUS_F");
        if (!bLogged) return false;
        if (ucState == 0) {
            logStep(StepInfo, "%s", texts.pcInOffline);
            return true;
        }
        Sleep(kOfflinePollMs);
    }
    logStep(StepFailed, "%s", texts.pcNotOffline);
    return false;
}

bool TestProcedures::modeChangeResetMobile(unsigned char ucFtm) {
    if (!KAVOR_CheckHandle(handle_)) return false;

    logStep(StepInfo, "\tQLIB_DIAG_CONTROL_F() start");
    if (!logResult(QLIB_DIAG_CONTROL_F(handle_, kModeOffline) != 0, "QLIB_DIAG_CONTROL_F(eMode = 0)")) return false;

    static const OfflineWaitTexts kTexts{"\tQLIB_DIAG_STATUS_F() start", true, "Mobile in Offline mode",
                                         "Mobile not in OFFLINE mode"};
    if (!waitForOffline(kTexts)) return false;

    // The flag decides the mode the phone starts in after the reset.
    logStep(StepInfo, "\tKAVOR_DIAG_NV_WRITE_F() start");
    if (!logResult(KAVOR_DIAG_NV_WRITE_F(handle_, kNvFtmMode, &ucFtm, 1) != 0,
                   "KAVOR_DIAG_NV_WRITE_F(iItemID = 453, pItemData = 0x%" PRIxPTR ", iLength = 1)",
                   reinterpret_cast<std::uintptr_t>(&ucFtm)))
        return false;

    logStep(StepInfo, "\tQLIB_DIAG_CONTROL_F() start");
    if (!logResult(QLIB_DIAG_CONTROL_F(handle_, kModeReset) != 0, "QLIB_DIAG_CONTROL_F(eMode = 2)")) return false;

    Sleep(kResetRestMs);
    const DWORD dwDeadline = GetTickCount() + kComeBackMs;
    while (tickBefore(GetTickCount(), dwDeadline)) {
        if (QLIB_IsPhoneConnected(handle_)) {
            Sleep(kComeBackPollMs);
            QLIB_IsPhoneConnected(handle_);
            QLIB_IsPhoneConnected(handle_);
            logStep(StepInfo, "Mobile is on");
            return true;
        }
        Sleep(kComeBackPollMs);
    }
    logStep(StepInfo, "Time for turn mobile on is up");
    return false;
}

} // namespace kavor
