// The bit-error-rate operations with steps of their own: the start of a GSM
// or EGPRS test call (the session only when asked), the end of a GSM call
// (the stop also after a failed release), and the EGPRS idle mode that is
// not offered. The others are rows of tessel_plain.inc.
#include "TesselFcts.h"
#include "TesselPlainWrapper.h"
#include "qmsl_ber.h"

namespace {

using namespace plain;

using AssignBcch = unsigned char (*)(QmslHandle, unsigned short, unsigned char);

// Both call kinds start in a GSM session; they differ in the assignment of
// the broadcast channel. A failed session start skips the assignment. The
// call line shows the narrowed values that are passed on.
int startBerCall(int iSession, const char* cName, const char* cAssignLine, AssignBcch assign, int bInitSession,
                 int iChannel, int iBand, int iBCCH_TimeOut_ms, const char* cFile, int iLine) {
    const unsigned short usInit = u16(bInitSession), usChannel = u16(iChannel);
    const unsigned char ucBand = u8(iBand);
    return Mob_RunPlain_m(iSession, cName, cFile, iLine,
                          {In("bInitSession", usInit), In("iChannel", usChannel), In("iBand", ucBand),
                           In("iBCCH_TimeOut_ms", iBCCH_TimeOut_ms), SpacedResult()},
                          [&](QmslHandle h) -> unsigned char {
                              if (usInit == 1) {
                                  Tessel_TracePlain_m(iSession, "[QLIB_FTM_GSM_BER_StartSession()]");
                                  if (!QLIB_FTM_GSM_BER_StartSession(h, static_cast<unsigned long>(iBCCH_TimeOut_ms)))
                                      return 0;
                              }
                              Tessel_TracePlain_m(iSession, "%s", cAssignLine);
                              return assign(h, usChannel, ucBand);
                          });
}

} // namespace

int _Tessel_FtmGsmBerStartCall(int iSession, int bInitSession, int iChannel, int iBand, int iBCCH_TimeOut_ms,
                               const char* cFile, int iLine) {
    return startBerCall(iSession, __func__, "[QLIB_FTM_GSM_BER_AssignBCCH()]", QLIB_FTM_GSM_BER_AssignBCCH,
                        bInitSession, iChannel, iBand, iBCCH_TimeOut_ms, cFile, iLine);
}

int _Tessel_FtmEgprsBerStartCall(int iSession, int bInitSession, int iChannel, int iBand, int iBCCH_TimeOut_ms,
                                 const char* cFile, int iLine) {
    return startBerCall(iSession, __func__, "[QLIB_FTM_EGPRS_BER_AssignBCCH()]", QLIB_FTM_EGPRS_BER_AssignBCCH,
                        bInitSession, iChannel, iBand, iBCCH_TimeOut_ms, cFile, iLine);
}

int _Tessel_FtmGsmBerStopCall(int iSession, int bCloseControl, const char* cFile, int iLine) {
    const unsigned short usClose = u16(bCloseControl);
    return Mob_RunPlain_m(iSession, __func__, cFile, iLine, {In("bCloseControl", usClose), SpacedResult()},
                          [&](QmslHandle h) -> unsigned char {
                              // The session is stopped as asked even when the release failed.
                              const bool bReleased = QLIB_FTM_GSM_BER_ReleaseTCH(h) != 0;
                              const bool bStopped = usClose == 0 || QLIB_FTM_GSM_BER_StopSession(h) != 0;
                              return bReleased && bStopped;
                          });
}

int _Tessel_FtmEgprsBerStartIdleMode(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (Mob_TraceOn_m())
        Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    if (rec.hHandle != -1)
        Mob_TraceF(iSession, TESSEL_ERROR_LIBRARY, TRACE_INFO, "", 0,
                   "QLIB_FTM_EGPRS_BER_StartIdleMode not supported actually!");
    if (Mob_TraceOn_m())
        Mob_TraceResult(iSession, TESSEL_ERROR_LIBRARY, "%s( ) = %#x", __func__,
                        static_cast<unsigned>(TESSEL_ERROR_LIBRARY));
    return TESSEL_ERROR_LIBRARY;
}
