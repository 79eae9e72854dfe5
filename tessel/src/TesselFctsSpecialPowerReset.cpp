// Reset into a mode and power-off. Both take the phone offline first and
// wait for it; the reset then sets the FTM flag the phone starts with, the
// power-off keeps the flag it found.
#include "TesselFcts.h"
#include "TesselFctsSpecialPower.h"
#include "cvi_util.h"
#include "qmsl_diag.h"

using namespace tessel_power;

namespace {

constexpr DWORD kOfflineWait_ms = 12000;
constexpr DWORD kReconnectWait_ms = 40000;
constexpr DWORD kSilenceWait_ms = 10000;
constexpr double kAfterReset_s = 18.0;

void info(int iSession, const char* cText) { Mob_TraceInfo(iSession, "", 0, "%s", cText); }
// Lines the operator sees whatever the trace level.
void always(int iSession, const char* cText) { Mob_TraceF(iSession, 0, TRACE_INFO, "", 0, "%s", cText); }

bool writeFtmFlag(QmslHandle h, unsigned char ucValue) {
    unsigned short usNvStatus = 0;
    return QLIB_DIAG_NV_WRITE_F(h, kNvFtmMode, &ucValue, 1, &usNvStatus) && usNvStatus == 0;
}

// After the reset command: a fixed wait, then until the phone answers again.
int waitForRestart(int iSession, QmslHandle h) {
    info(iSession, "[waiting...]");
    Delay(kAfterReset_s);
    info(iSession, "[connecting...]");
    const DWORD dwStart = GetTickCount();
    for (;;) {
        if (QLIB_IsPhoneConnected(h)) {
            Delay(1.0);
            QLIB_IsPhoneConnected(h);
            QLIB_IsPhoneConnected(h);
            return 0;
        }
        if (elapsedMs(dwStart) > kReconnectWait_ms) {
            always(iSession, "Error: TIMEOUT");
            return TESSEL_ERROR_LIBRARY;
        }
        Delay(1.0);
    }
}

int resetInto(int iSession, QmslHandle h, unsigned short usMode) {
    info(iSession, "[Checking communication...]");
    info(iSession, "[Setting device to OFFLINE state...]");
    int iStatus = 0;
    if (!GoOffline(iSession, h, &iStatus)) {
        always(iSession, "[TIMEOUT]");
        return TESSEL_ERROR_LIBRARY;
    }
    always(iSession, "[Setting NV_FTM_MODE...]");
    if (!writeFtmFlag(h, usMode != 0 ? 1 : 0)) iStatus = TESSEL_ERROR_LIBRARY;
    if (iStatus != 0) {
        always(iSession, "[Failed to write NV_FTM_MODE.]");
        return iStatus;
    }
    info(iSession, "[Resetting device...]");
    if (!QLIB_DIAG_CONTROL_F(h, kModeReset)) {
        always(iSession, "Error: QLIB_DIAG_CONTROL_F(MODE_RESET_F) failed.");
        return TESSEL_ERROR_LIBRARY;
    }
    return waitForRestart(iSession, h);
}

// After the power-off command: clears the box's DTR when it was left high,
// then waits until the phone is silent.
int powerOff(int iSession, const SessionRecord& rec) {
    const QmslHandle h = rec.hHandle;
    info(iSession, "[Checking communication...]");
    QLIB_IsPhoneConnected(h);
    QLIB_IsPhoneConnected(h);
    if (!QLIB_IsPhoneConnected(h)) {
        always(iSession, "[Cannot PING mobile.]");
        return TESSEL_ERROR_LIBRARY;
    }
    always(iSession, "[Reading NV_FTM_MODE...]");
    unsigned char ucFlag = 0;
    unsigned short usNvStatus = 0;
    if (!QLIB_DIAG_NV_READ_F(h, kNvFtmMode, &ucFlag, 1, &usNvStatus) || usNvStatus != 0) {
        always(iSession, "[Failed to read NV_FTM_MODE.]");
        return TESSEL_ERROR_LIBRARY;
    }
    int iStatus = 0;
    if (!GoOffline(iSession, h, &iStatus)) {
        always(iSession, "[TIMEOUT]");
        return TESSEL_ERROR_LIBRARY;
    }
    always(iSession, "[Restoring NV_FTM_MODE...]");
    if (!writeFtmFlag(h, ucFlag)) iStatus = TESSEL_ERROR_LIBRARY;
    if (iStatus != 0) {
        always(iSession, "[Failed to write NV_FTM_MODE.]");
        return iStatus;
    }
    info(iSession, "[sending MODE_POWER_OFF_F]");
    if (!QLIB_DIAG_CONTROL_F(h, kModePowerOff)) return TESSEL_ERROR_LIBRARY;

    unsigned short usDtrState = 0;
    if (_Tessel_GetDtrState(&usDtrState, "TesselFctsSpecialPower", __LINE__) != 0) return TESSEL_ERROR_LIBRARY;
    // Without an open box there is no box DTR to clear: the phone is off all
    // the same, and a failed clear would report it as not switched off.
    if (usDtrState == 1 && rec.hBoxHandle != -1) {
        if (!EscapeCommFunction(boxPort(rec.hBoxHandle), CLRDTR)) return TESSEL_ERROR_LIBRARY;
        info(iSession, "[DTR->low]");
    }

    const DWORD dwStart = GetTickCount();
    always(iSession, "[waiting...]");
    Delay(1.0);
    always(iSession, "[Checking phone status...]");
    while (QLIB_IsPhoneConnected(h)) {
        Delay(0.2);
        if (elapsedMs(dwStart) > kSilenceWait_ms) {
            always(iSession, "[TIMEOUT]");
            return TESSEL_ERROR_LIBRARY;
        }
    }
    always(iSession, "[No response. Waiting again.]");
    Delay(1.0);
    return 0;
}

} // namespace

bool tessel_power::GoOffline(int iSession, QmslHandle h, int* piStatus) {
    if (!QLIB_DIAG_CONTROL_F(h, kModeOffline)) *piStatus = TESSEL_ERROR_LIBRARY;
    info(iSession, "[waiting to go offline...]");
    unsigned char ucState = 255;
    const DWORD dwStart = GetTickCount();
    while (elapsedMs(dwStart) < kOfflineWait_ms) {
        if (!QLIB_DIAG_STATUS_F(h, &ucState)) {
            info(iSession, "Error: Cannot read diag state.");
            *piStatus = TESSEL_ERROR_LIBRARY;
            ucState = 255;
            break;
        }
        if (ucState == 0) break;
        Delay(0.25);
    }
    return ucState == 0;
}

int _Tessel_SpecialPhoneReset(int iSession, unsigned short iMode, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, Mode=%s ) Sess=%d", __func__, rec.hHandle,
                  iMode != 0 ? "FTM" : "ONLINE", iSession);
    const int iStatus = resetInto(iSession, rec.hHandle, iMode);
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, hex(iStatus));
    return iStatus;
}

int _Tessel_SpecialPhoneOff(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    const int iStatus = powerOff(iSession, rec);
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, hex(iStatus));
    return iStatus;
}
