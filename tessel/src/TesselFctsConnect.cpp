// Connection of a session to its phone: connect and disconnect (with the boot
// box), the connection check, the phone type and handle of the session, and
// the library's own request/response exchange.
#include "TesselEnum.h"
#include "TesselFcts.h"
#include "kavor.h"
#include "qmsl_port.h"

namespace {

constexpr const char* kFamily = "TesselFcts";

unsigned hex(int iStatus) { return static_cast<unsigned>(iStatus); }

} // namespace

int _Tessel_ConnectServer(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iPortNo=%d ) Sess=%d", __func__, rec.hHandle, rec.ucComPort,
                  iSession);

    int iStatus = 0;
    if (!Mob_SessionInUse_m(iSession)) {
        // A session that is not open has no port to connect to and no slot
        // to write: nothing is called, nothing stored.
        iStatus = TESSEL_ERROR_LIBRARY;
    } else if (rec.hHandle != -1) {
        // Already connected: the connection stays.
        iStatus = TESSEL_ERROR_LIBRARY;
        rec.sPhoneType = TESSEL_PHONE_TYPE_NONE;
        WriteToGlSesHdl_m(rec);
    } else if (const QmslHandle h = KAVOR_ConnectServer(rec.ucComPort); h == 0) {
        iStatus = TESSEL_ERROR_LIBRARY;
    } else {
        rec.hHandle = h;
        if (rec.cBoxComPort == -1 && !QLIB_SetData2DiagSearch(h, 1)) iStatus = TESSEL_ERROR_LIBRARY;
        rec.sPhoneType = TESSEL_PHONE_TYPE_NONE;
        WriteToGlSesHdl_m(rec);
        // The box is opened only for a phone that is connected, and only once.
        if (iStatus == 0 && rec.cBoxComPort != -1 && rec.hBoxHandle == -1)
            iStatus = _Tessel_SpecialMZ4BootBoxInit(iSession, kFamily, 225);
        if (iStatus != 0) {
            // Nothing stays half-open: a later connect starts from scratch.
            KAVOR_DisconnectServer(h);
            GetInstrIDFromSession_m(&rec);
            rec.hHandle = -1;
            WriteToGlSesHdl_m(rec);
        }
    }
    Mob_TraceResult(iSession, iStatus, "%s( Handle=%d ) = %#x", __func__, rec.hHandle, hex(iStatus));
    return iStatus;
}

int _Tessel_DisonnectServer(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);

    int iStatus = 0;
    if (rec.hHandle != -1) KAVOR_DisconnectServer(rec.hHandle);
    else iStatus = TESSEL_ERROR_LIBRARY;
    if (rec.cBoxComPort != -1) {
        const int iBox = _Tessel_SpecialMZ4BootBoxClose(iSession, kFamily, 286);
        if (iStatus == 0) iStatus = iBox;
    }
    // Read the record again: the box close has changed it.
    GetInstrIDFromSession_m(&rec);
    rec.hHandle = -1;
    rec.hBoxHandle = -1;
    rec.sPhoneType = TESSEL_PHONE_TYPE_NONE;
    if (Mob_SessionInUse_m(iSession)) WriteToGlSesHdl_m(rec);
    Mob_TraceResult(iSession, iStatus, "%s( Handle=%d ) = %#x", __func__, rec.hHandle, hex(iStatus));
    return iStatus;
}

int _Tessel_IsPhoneConnected(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    const int iAnswer = rec.hHandle == -1 ? 0 : QLIB_IsPhoneConnected(rec.hHandle);
    const int iStatus = iAnswer ? 0 : TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s( iAnswer=%d ) = %#x", __func__, iAnswer, hex(iStatus));
    return iStatus;
}

int _Tessel_GetMobModel(int iSession, unsigned char* iMobModel, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!iMobModel) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    *iMobModel = static_cast<unsigned char>(rec.sPhoneType);
    Mob_TraceResult(iSession, 0, "%s( *iMobModel=%d ) = %#x", __func__, *iMobModel, 0u);
    return 0;
}

// Any index is stored; one outside 0..10 makes the type-dependent operations
// fail. A session that is not open has no record to store it in.
int _Tessel_SetMobModel(int iSession, int iMobModel, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    const auto ucNew = static_cast<unsigned char>(iMobModel);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iMobModel=%d ) Sess=%d", __func__, rec.hHandle, ucNew,
                  iSession);
    if (Mob_TraceOn_m()) {
        Tessel_TracePlain_m(iSession, "!!!! Changing internal MobID from %d(%s)", rec.sPhoneType,
                   Get_cPhoneModel(rec.sPhoneType));
        Tessel_TracePlain_m(iSession, "!!!!                 to new MobID %d(%s)", ucNew,
                   Get_cPhoneModel(ucNew));
    }
    rec.sPhoneType = ucNew;
    const int iStatus = WriteToGlSesHdl_m(rec) == 0 ? 0 : TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, hex(iStatus));
    return iStatus;
}

int _Tessel_GetComHandle(int iSession, int* piComHandle, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!piComHandle) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    *piComHandle = rec.hHandle;
    Mob_TraceResult(iSession, 0, "%s( *piComHandle=%d ) = %#x", __func__, *piComHandle, 0u);
    return 0;
}

int _Tessel_SendSync(int iSession, short iRequestSize, const unsigned char* pRequest, short* piResponseSize,
                     unsigned char* pResponse, unsigned long ulTimeout_ms, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (iRequestSize < 0 || (iRequestSize > 0 && !pRequest) || !piResponseSize || *piResponseSize < 0 ||
        (*piResponseSize > 0 && !pResponse))
        return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iRequestSize=%d, iTimeout=%lu ) Sess=%d", __func__,
                  rec.hHandle, iRequestSize, ulTimeout_ms, iSession);
    int iStatus = 0;
    auto usSize = static_cast<unsigned short>(*piResponseSize);
    if (rec.hHandle == -1 ||
        !QLIB_SendSync(rec.hHandle, static_cast<unsigned short>(iRequestSize), pRequest, &usSize, pResponse,
                       ulTimeout_ms)) {
        iStatus = TESSEL_ERROR_LIBRARY;
        usSize = 0;
    }
    *piResponseSize = static_cast<short>(usSize);
    Mob_TraceResult(iSession, iStatus, "%s( *piResponseSize=%d ) = %#x", __func__, *piResponseSize, hex(iStatus));
    return iStatus;
}
