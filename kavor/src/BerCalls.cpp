// Start and stop of a GSM or EGPRS bit-error-rate test call: the test
// session (started only when asked) and the broadcast-channel assignment;
// the traffic-channel release and, when asked, the end of the session.
#include "ProcedureSteps.h"
#include "qmsl_ber.h"

#include "InternalExports.h"

namespace kavor {

namespace {

// The session start of both call kinds (the EGPRS call runs in a GSM
// session); only its time-out placeholder differs.
Step sessionStart(QmslHandle h, unsigned int iTimeOut_ms, const char* pcLine) {
    return {"QLIB_FTM_GSM_BER_StartSession", [=] { return QLIB_FTM_GSM_BER_StartSession(h, iTimeOut_ms) != 0; },
            [=] { return stepText(pcLine, static_cast<int>(iTimeOut_ms)); }};
}

} // namespace

bool TestProcedures::ftmGsmBerStartCall(unsigned char bInitSession, unsigned short iChannel, unsigned char iBand,
                                        unsigned int iBCCH_TimeOut_ms) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    if (bInitSession == 1 &&
        !runStep(*this, sessionStart(h, iBCCH_TimeOut_ms, "QLIB_FTM_GSM_BER_StartSession(iTimeOut_ms = %i)")))
        return false;
    return runStep(
        *this, {"QLIB_FTM_GSM_BER_AssignBCCH", [&] { return QLIB_FTM_GSM_BER_AssignBCCH(h, iChannel, iBand) != 0; },
                [&] { return stepText("QLIB_FTM_GSM_BER_AssignBCCH(iChannel = %d, iBand = %c)", iChannel, iBand); }});
}

bool TestProcedures::ftmEgprsBerStartCall(unsigned char bInitSession, unsigned short iChannel, unsigned char iBand,
                                          unsigned int iBCCH_TimeOut_ms) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    if (bInitSession == 1 &&
        !runStep(*this, sessionStart(h, iBCCH_TimeOut_ms, "QLIB_FTM_GSM_BER_StartSession(iTimeOut_ms = %d)")))
        return false;
    return runStep(
        *this, {"QLIB_FTM_EGPRS_BER_AssignBCCH", [&] { return QLIB_FTM_EGPRS_BER_AssignBCCH(h, iChannel, iBand) != 0; },
                [&] { return stepText("QLIB_FTM_EGPRS_BER_AssignBCCH(iChannel = %d, iBand = %c)", iChannel, iBand); }});
}

bool TestProcedures::ftmGsmBerStopCall(unsigned char bCloseControl) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    if (!runStep(*this, {"QLIB_FTM_GSM_BER_ReleaseTCH", [&] { return QLIB_FTM_GSM_BER_ReleaseTCH(h) != 0; },
                         fixedLine("QLIB_FTM_GSM_BER_ReleaseTCH()")}))
        return false;
    if (bCloseControl == 0) return true;
    return runStep(*this, {"QLIB_FTM_GSM_BER_StopSession", [&] { return QLIB_FTM_GSM_BER_StopSession(h) != 0; },
                           fixedLine("QLIB_FTM_GSM_BER_StopSession()")});
}

} // namespace kavor
