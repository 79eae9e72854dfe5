// The phone's mode: the mode switch with its check, the low-power mode and
// the loading of the RF NV items by phone type.
#include "TesselEnum.h"
#include "TesselFcts.h"
#include "cvi_util.h"
#include "kavor.h"
#include "qmsl_diag.h"
#include "qmsl_ftm.h"

namespace {

constexpr int kModeFtm = 3;
constexpr int kModeOnline = 4;
constexpr double kFtmSettle_s = 7.0;  // the phone needs this long before it answers FTM commands

unsigned hex(int iStatus) { return static_cast<unsigned>(iStatus); }

void info(int iSession, const char* cText) { Mob_TraceInfo(iSession, "", 0, "%s", cText); }

// The mode check after a successful switch.
int checkMode(int iSession, QmslHandle h, int eMode) {
    if (eMode == kModeFtm) {
        unsigned int uiVersion = 0;
        if (!KAVOR_FTM_GET_HARDWARE_VERSION(h, &uiVersion)) {
            info(iSession, "[ERROR: Phone is not in FTM mode. Aborting sequence.]");
            return TESSEL_ERROR_LIBRARY;
        }
        Tessel_InternalDetectHardware(iSession);
    } else if (eMode == kModeOnline) {
        unsigned char ucState = 0;
        if (!QLIB_DIAG_STATUS_F(h, &ucState)) {
            info(iSession, "[ERROR: Cannot read diag state. Aborting sequence.]");
            return TESSEL_ERROR_LIBRARY;
        }
        if (ucState != 1) {
            info(iSession, "[ERROR: Phone is not in ONLINE mode. Aborting sequence.]");
            return TESSEL_ERROR_LIBRARY;
        }
    }
    return 0;
}

} // namespace

int _Tessel_DiagControlF(int iSession, int eMode, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, eMode=%d(%s) ) Sess=%d", __func__, rec.hHandle, eMode,
                  Get_cMode(eMode), iSession);
    QLIB_IsPhoneConnected(rec.hHandle);  // wakes the connection; the answer does not count
    info(iSession, "[switching mode...]");

    int iStatus = 0;
    if (rec.hHandle == -1 || !QLIB_DIAG_CONTROL_F(rec.hHandle, eMode)) {
        iStatus = TESSEL_ERROR_LIBRARY;
    } else {
        if (eMode == kModeFtm) {
            info(iSession, "[waiting...]");
            Delay(kFtmSettle_s);
        }
        info(iSession, "[checking mode...]");
        iStatus = checkMode(iSession, rec.hHandle, eMode);
    }
    Mob_TraceResult(iSession, iStatus, "%s() = %#x", __func__, hex(iStatus));
    return iStatus;
}

int _Tessel_FtmSetLowPowerMode(int iSession, int iLowPowerMode, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iLowPowerMode=%d ) Sess=%d", __func__, rec.hHandle,
                  iLowPowerMode, iSession);
    int iStatus = 0;
    if (rec.hHandle == -1 || !KAVOR_FTM_SET_LOW_POWER_MODE(rec.hHandle, static_cast<unsigned char>(iLowPowerMode)))
        iStatus = TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s() = %#x", __func__, hex(iStatus));
    if (iLowPowerMode == 3 && Mob_TraceOn_m()) {
        Tessel_TracePlain_m(iSession, "[!!! LPM3 -> PHONE HAS TO BE RESET NOW !!!]");
        Tessel_TracePlain_m(iSession, "[!!! NO MORE COMMUNICATION POSSIBLE    !!!]");
    }
    return iStatus;
}

int _Tessel_LoadRfNv(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    int iStatus = 0;
    unsigned short usFtmStatus = 0;
    if (rec.hHandle == -1) {
        iStatus = TESSEL_ERROR_LIBRARY;
    } else {
        unsigned char ucOk = 0;
        switch (rec.sPhoneType) {
        case 5:
        case 7:
            if (Mob_TraceOn_m(2)) Mob_TraceInfo(iSession, "", 0, "QLIB_FTM_LOAD_RF_NV()");
            ucOk = QLIB_FTM_LOAD_RF_NV(rec.hHandle, &usFtmStatus);
            break;
        case 0:
        case 4:
        case 6:
        case 8:
        case 9:
        case 10:
            if (Mob_TraceOn_m(2)) Mob_TraceInfo(iSession, "", 0, "KAVOR_FTM_LOAD_RF_NV()");
            ucOk = KAVOR_FTM_LOAD_RF_NV(rec.hHandle, &usFtmStatus);
            break;
        default:
            Tessel_TracePlain_m(iSession, "[ERROR: Mobile type not supported.]");
            break;
        }
        if (!ucOk || usFtmStatus != 0) iStatus = TESSEL_ERROR_LIBRARY;
    }
    Mob_TraceResult(iSession, iStatus, "%s( iFTM_Status=%d ) = %#x", __func__, usFtmStatus, hex(iStatus));
    return iStatus;
}
