// Switching the phone on into a mode: the DTR pulse on either line, waiting
// for the phone to answer, the mode change by reset when the phone came up in
// the other mode, and the switch-on exports that add the hardware detection.
#include "TesselFcts.h"
#include "TesselFctsSpecialPower.h"
#include "cvi_util.h"
#include "kavor.h"
#include "qmsl_build.h"
#include "qmsl_diag.h"
#include "qmsl_diag_misc.h"

#include <cstdio>
#include <cstring>

using namespace tessel_power;

namespace {

constexpr const char* kFamily = "TesselFctsSpecialPower";
constexpr int kDefaultTimeout_ms = 20000;
constexpr unsigned short kDefaultInitialWait_ms = 8000;
constexpr std::int16_t kBacklightPhoneType = 8;
constexpr unsigned char kBacklightLevel = 80;

// Builds whose mode the power-up does not check: they answer as soon as they
// are up, in the mode they need.
constexpr const char* kNoModeCheckTags[] = {"M6275B", "M6280A"};

void info(int iSession, const char* cText) { Mob_TraceInfo(iSession, "", 0, "%s", cText); }

// The step of the sequence that failed: its text and the failure status.
int fail(char* cErrMsg, const char* cText) {
    std::snprintf(cErrMsg, TESSEL_ERROR_TEXT_MAX, "%s", cText);
    return TESSEL_ERROR_LIBRARY;
}

// A failed build-id call leaves the zeroed text: no tag.
bool needsNoModeCheck(QmslHandle h) {
    unsigned int uiMsm = 0, uiModel = 0;
    char cSwRev[QMSL_BUILD_TEXT_MAX] = {};
    char cModel[QMSL_BUILD_TEXT_MAX] = {};
    if (!QLIB_DIAG_EXT_BUILD_ID_F(h, &uiMsm, &uiModel, cSwRev, cModel)) return false;
    for (const char* cTag : kNoModeCheckTags)
        if (std::strncmp(cSwRev, cTag, 6) == 0) return true;
    return false;
}

bool inFtm(QmslHandle h) {
    unsigned int uiVersion = 0;
    return KAVOR_FTM_GET_HARDWARE_VERSION(h, &uiVersion) != 0;
}

// The DTR pulse through the boot box; with the stored state 1 DTR stays high.
int pulseBoxDtr(int iSession, std::int32_t hBox, char* cErrMsg) {
    unsigned short usDtrState = 0;
    if (_Tessel_GetDtrState(&usDtrState, kFamily, __LINE__) != 0) return fail(cErrMsg, "Tessel_GetDtrState() failed.");
    if (!EscapeCommFunction(boxPort(hBox), SETDTR)) return fail(cErrMsg, "EscapeCommFunction(SETDTR) failed.");
    if (usDtrState == 1) {
        info(iSession, "[DTR->keep on high]");
        return 0;
    }
    Delay(1.0);
    if (!EscapeCommFunction(boxPort(hBox), CLRDTR)) return fail(cErrMsg, "EscapeCommFunction(CLRDTR) failed.");
    info(iSession, "[DTR->low]");
    return 0;
}

// The DTR pulse on the phone's own port.
int pulseVendorDtr(int iSession, QmslHandle h, char* cErrMsg) {
    if (!QLIB_SetDTR_State(h, 1)) return fail(cErrMsg, "QLIB_SetDTR_State(1) failed.");
    Delay(1.0);
    if (!QLIB_SetDTR_State(h, 0)) return fail(cErrMsg, "QLIB_SetDTR_State(0) failed.");
    info(iSession, "[DTR->low]");
    return 0;
}

// Waits for the phone to answer. The initial wait comes once, before the
// first check of the time-out, and counts against it.
int waitForPhone(int iSession, QmslHandle h, DWORD dwStart, DWORD dwTimeout_ms, char* cErrMsg) {
    info(iSession, "[connecting...]");
    bool bFirst = true;
    while (!QLIB_IsPhoneConnected(h)) {
        if (bFirst) {
            bFirst = false;
            unsigned short usInitial = kDefaultInitialWait_ms;
            _Tessel_GetUserDefinedTimeoutInitial(&usInitial, kFamily, __LINE__);
            if (usInitial == kDefaultInitialWait_ms) {
                info(iSession, "[waiting default TIMO_INITIAL...]");
                Delay(8.0);
            } else {
                info(iSession, "[waiting user defined TIMO_INITIAL...]");
                Delay(usInitial / 1000.0);
            }
            info(iSession, "[connecting...]");
        }
        if (elapsedMs(dwStart) > dwTimeout_ms) {
            info(iSession, "[TIMEOUT]");
            return fail(cErrMsg, "Timeout. Sequence aborted.");
        }
        Delay(0.2);
    }
    return 0;
}

// Brings an answering phone into the target mode by a reset when it came up
// in the other one.
int changeModeIfNeeded(int iSession, QmslHandle h, int eMode, char* cErrMsg) {
    const bool bFtm = inFtm(h);
    if ((bFtm && eMode == kModeFtm) || (!bFtm && eMode == kModeOnline)) {
        info(iSession, "[No mode change required.]");
        return 0;
    }
    if (eMode == kModeFtm) {
        info(iSession, "[Initiating mode change to FTM...]");
        if (_Tessel_SpecialPhoneReset(iSession, 1, kFamily, __LINE__) != 0) return fail(cErrMsg, "[Reset failed.]");
    } else {
        info(iSession, "[Initiating mode change to ONLINE...]");
        if (_Tessel_SpecialPhoneReset(iSession, 0, kFamily, __LINE__) != 0) return fail(cErrMsg, "[Reset failed.]");
        info(iSession, "[waiting...]");
        Delay(7.0);
    }
    QLIB_IsPhoneConnected(h);
    QLIB_IsPhoneConnected(h);
    if (!QLIB_IsPhoneConnected(h)) return fail(cErrMsg, "[No communication after mode change.]");
    info(iSession, "[PING OK]");
    return 0;
}

int checkMode(int iSession, QmslHandle h, int eMode, char* cErrMsg) {
    if (eMode == kModeFtm) {
        if (inFtm(h)) return 0;
        info(iSession, "[ERROR: Phone is not in FTM mode. Aborting sequence.]");
        return fail(cErrMsg, "Could not switch into FTM mode.");
    }
    unsigned char ucState = 0;
    if (!QLIB_DIAG_STATUS_F(h, &ucState)) {
        info(iSession, "[ERROR: Cannot read diag state.]");
        return fail(cErrMsg, "Could not read diag state.");
    }
    if (ucState != 1) {
        info(iSession, "[ERROR: Phone is not in ONNLINE mode. Aborting sequence.]");
        return fail(cErrMsg, "Could not switch to ONLINE mode.");
    }
    return 0;
}

int mobileOn(const char* cName, int iSession, int iTimeout, int eMode, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iTimeout=%d[ms] ) Sess=%d", cName, rec.hHandle, iTimeout,
                  iSession);
    char cErrMsg[TESSEL_ERROR_TEXT_MAX] = "OK";
    int iLibType = 2;
    int iStatus = _Tessel_GetQLibType(iSession, &iLibType, kFamily, __LINE__);
    if (iStatus == 0)
        iStatus = Tessel_InternalSpecialPowerUp(iSession, rec.hHandle, rec.hBoxHandle, iLibType, iTimeout, eMode,
                                                cErrMsg);
    if (iStatus == 0) {
        Tessel_InternalDetectHardware(iSession);
        GetInstrIDFromSession_m(&rec);
        if (eMode == kModeFtm && rec.sPhoneType == kBacklightPhoneType &&
            !KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(rec.hHandle, kBacklightLevel))
            iStatus = TESSEL_ERROR_LIBRARY;
    }
    Mob_TraceResult(iSession, iStatus, "%s( cErrMsg=%s ) = %#x", cName, cErrMsg, hex(iStatus));
    return iStatus;
}

} // namespace

int Tessel_InternalSpecialPowerUp(int iSession, QmslHandle h, std::int32_t hBox, int iLibType, int iTimeout_ms,
                                  int eMode, char* cErrMsg) {
    std::snprintf(cErrMsg, TESSEL_ERROR_TEXT_MAX, "OK");
    const bool bVendorDtr = iLibType == 1 && h != -1;
    const bool bBoxDtr = iLibType == 0 && hBox != -1;
    // A time-out of 0 means the default; a negative one cannot be waited
    // and counts as 0 too.
    const DWORD dwTimeout_ms = static_cast<DWORD>(iTimeout_ms > 0 ? iTimeout_ms : kDefaultTimeout_ms);

    const DWORD dwStart = GetTickCount();
    QLIB_IsPhoneConnected(h);  // wakes the connection; the answer does not count
    info(iSession, "[DTR->high]");
    int iStatus = 0;
    if (bBoxDtr) iStatus = pulseBoxDtr(iSession, hBox, cErrMsg);
    else if (bVendorDtr) iStatus = pulseVendorDtr(iSession, h, cErrMsg);
    if (iStatus != 0) return iStatus;

    if (int st = waitForPhone(iSession, h, dwStart, dwTimeout_ms, cErrMsg)) return st;
    info(iSession, "[PING OK]");
    Delay(0.2);
    if (!needsNoModeCheck(h)) {
        iStatus = changeModeIfNeeded(iSession, h, eMode, cErrMsg);
        if (iStatus == 0) iStatus = checkMode(iSession, h, eMode, cErrMsg);
        if (iStatus != 0) return iStatus;
    }
    if (Mob_TraceOn_m()) Mob_TraceInfo(iSession, "", 0, "[Time=%ds]", static_cast<int>(elapsedMs(dwStart) / 1000));
    return 0;
}

int _Tessel_SpecialMobileOnFtm(int iSession, int iTimeout, const char* cFile, int iLine) {
    return mobileOn(__func__, iSession, iTimeout, kModeFtm, cFile, iLine);
}

int _Tessel_SpecialMobileOnOnline(int iSession, int iTimeout, const char* cFile, int iLine) {
    return mobileOn(__func__, iSession, iTimeout, kModeOnline, cFile, iLine);
}
