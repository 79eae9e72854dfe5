// DTR now: the power-key line of the session's phone, through the boot box
// when its port is open, else on the phone's own port. The stored DTR state
// the power sequences read stays as it is.
#include "TesselFcts.h"
#include "TesselFctsSpecialPower.h"
#include "qmsl_diag.h"

using namespace tessel_power;

int _Tessel_SpecialSetDtrState(int iSession, unsigned short bDtrState, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, bDtrState=%d) Sess=%d", __func__, rec.hHandle, bDtrState,
                  iSession);
    int iStatus = 0;
    if (bDtrState > 1) {
        iStatus = TESSEL_ERROR_LIBRARY;
    } else {
        const bool bHigh = bDtrState == 1;
        const bool bOk = rec.hBoxHandle != -1 ? EscapeCommFunction(boxPort(rec.hBoxHandle), bHigh ? SETDTR : CLRDTR)
                                              : QLIB_SetDTR_State(rec.hHandle, bHigh ? 1 : 0);
        if (bOk) Mob_TraceInfo(iSession, "", 0, "%s", bHigh ? "[DTR->HIGH]" : "[DTR->low]");
        else iStatus = TESSEL_ERROR_LIBRARY;
    }
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, hex(iStatus));
    return iStatus;
}
