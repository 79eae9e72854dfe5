// The boot box: a COM port of the PC whose DTR line drives the phone's power
// key and whose RTS line selects the link mode. The data lines carry nothing.
#include "TesselFcts.h"
#include "win_serial_setup.h"

#include <cstdint>

namespace {

unsigned hex(int iStatus) { return static_cast<unsigned>(iStatus); }

HANDLE asHandle(std::int32_t hBox) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(hBox)); }

} // namespace

int _Tessel_SpecialMZ4BootBoxInit(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, MZ4Port=%d ) Sess=%d", __func__, rec.hHandle,
                  rec.cBoxComPort, iSession);
    if (!Mob_SessionInUse_m(iSession) || rec.cBoxComPort < 1 || rec.hBoxHandle != -1) {
        // No box, or it is open already: a second open of the exclusive port
        // would fail and lose the handle.
        Mob_TraceResult(iSession, TESSEL_ERROR_LIBRARY, "Error opening MZ4 boot box COM Port.");
        return TESSEL_ERROR_LIBRARY;
    }
    // The lines work whatever the framing; DTR and RTS end low.
    HANDLE hPort = WinSerial_OpenControlLinePort(rec.cBoxComPort);
    if (hPort == INVALID_HANDLE_VALUE) {
        Mob_TraceResult(iSession, TESSEL_ERROR_LIBRARY, "Error opening MZ4 boot box COM Port.");
        return TESSEL_ERROR_LIBRARY;
    }

    rec.hBoxHandle = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(hPort));
    WriteToGlSesHdl_m(rec);
    Mob_TraceResult(iSession, 0, "%s( iMZ4Handle=%d ) = %#x", __func__, rec.hBoxHandle, 0u);
    return 0;
}

int _Tessel_SpecialMZ4BootBoxClose(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, MZ4Handle=%d ) Sess=%d", __func__, rec.hHandle,
                  rec.hBoxHandle, iSession);
    if (rec.hBoxHandle == -1) {
        Mob_TraceResult(iSession, TESSEL_ERROR_LIBRARY, "No valid handle for port defined.");
        return TESSEL_ERROR_LIBRARY;
    }
    HANDLE hPort = asHandle(rec.hBoxHandle);
    int iStatus = 0;
    if (!EscapeCommFunction(hPort, CLRDTR)) iStatus = TESSEL_ERROR_LIBRARY;
    Mob_TraceInfo(iSession, "", 0, "[DTR->low]");
    if (!EscapeCommFunction(hPort, SETRTS)) iStatus = TESSEL_ERROR_LIBRARY;
    if (!CloseHandle(hPort)) iStatus = TESSEL_ERROR_LIBRARY;
    rec.hBoxHandle = -1;
    WriteToGlSesHdl_m(rec);
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, hex(iStatus));
    return iStatus;
}

int _Tessel_SpecialMZ4BootBoxSetLinkMode(int iSession, int eMode, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( MZ4Handle=%d, eMode=%d ) Sess=%d", __func__, rec.hBoxHandle, eMode,
                  iSession);
    if (rec.hBoxHandle == -1) {
        Mob_TraceResult(iSession, TESSEL_ERROR_LIBRARY, "No valid handle for port defined.");
        return TESSEL_ERROR_LIBRARY;
    }
    int iStatus = 0;
    if (eMode == 0 || eMode == 1)
        if (!EscapeCommFunction(asHandle(rec.hBoxHandle), eMode == 0 ? SETRTS : CLRRTS)) iStatus = TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, hex(iStatus));
    return iStatus;
}
