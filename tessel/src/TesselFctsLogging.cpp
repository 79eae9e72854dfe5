// Phone logging with steps of their own: the extended logging start, the
// dump of the asynchronous messages and the debug-message search.
#include "TesselFcts.h"
#include "qmsl_logging.h"

#include <cinttypes>
#include <cstdint>

namespace {

constexpr int kTextShown = 256;       // longest part of a caller's text a trace line shows
constexpr int kFilterCount = 8;
constexpr unsigned int kAsyncLevel = 1;

// The steps of the extended logging start, in order; the first that fails
// ends it with its error line.
bool startExtLogging(int iSession, const char* cFile, int iLine, QmslHandle h, const char* sLogFile,
                     const unsigned short* piFilterIds, const unsigned short* piFilterMasks) {
    auto error = [&](const char* cText) {
        Mob_TraceInfo(iSession, cFile, iLine, "%s", cText);
        return false;
    };
    if (sLogFile[0] == '\0') return error("[ERROR: No logfile specified. Aborting sequence.]");
    for (int i = 0; i < kFilterCount; ++i) {
        // An id with its top bit set (negative as 16 bits) is an unused entry.
        if (piFilterIds[i] & 0x8000u) continue;
        if (!QLIB_DIAG_SetMessageFilter(h, piFilterIds[i], piFilterMasks[i]))
            return error("[ERROR: QLIB_DIAG_SetMessageFilter() failed. Aborting sequence.]");
    }
    if (!QLIB_DIAG_SetPhoneLoggingState(h, 1))
        return error("[ERROR: QLIB_DIAG_SetPhoneLoggingState() failed. Aborting sequence.]");
    if (!QLIB_SetLogFlags(h, 1)) return error("[ERROR: QLIB_SetLogFlags() failed. Aborting sequence.]");
    if (!QLIB_StartLogging(h, sLogFile)) return error("[ERROR: QLIB_StartLogging() failed. Aborting sequence.]");
    return true;
}

} // namespace

int _Tessel_StartExtLogging(int iSession, const char* sLogFile, const unsigned short* piFilterIds,
                            const unsigned short* piFilterMasks, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!sLogFile || !piFilterIds || !piFilterMasks) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine,
                  "%s( Handle=%d, sLogFile=%.*s, piFilterIds=0x%" PRIxPTR ", piFilterMasks=0x%" PRIxPTR " ) Sess=%d",
                  __func__, rec.hHandle, kTextShown, sLogFile, Mob_Address(piFilterIds), Mob_Address(piFilterMasks), iSession);
    // The handle is not tested: the vendor calls fail on an unconnected one.
    const int iStatus = startExtLogging(iSession, cFile, iLine, rec.hHandle, sLogFile, piFilterIds, piFilterMasks)
                            ? 0
                            : TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, static_cast<unsigned>(iStatus));
    return iStatus;
}

int _Tessel_DumpAsyncMsg(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    // Neither the handle nor the answers are tested: the dump is best effort.
    QLIB_AddUserMessageToTextLog(rec.hHandle, kAsyncLevel, "\nASYNC START==============================\n", 0);
    QLIB_DumpAsyncMessageToTextLog(rec.hHandle, kAsyncLevel, 0, 1, 0);
    QLIB_AddUserMessageToTextLog(rec.hHandle, kAsyncLevel, "\nASYNC END==============================\n", 0);
    Mob_TraceResult(iSession, 0, "%s( ) = %#x", __func__, 0u);
    return 0;
}

int _Tessel_DiagFindDebugMessage(int iSession, const char* sSearchString, short* pbFoundMessage, int* piArg1,
                                 int* piArg2, int* piArg3, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!sSearchString || !pbFoundMessage || !piArg1 || !piArg2 || !piArg3) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, sSearchString='%.*s' ) Sess=%d", __func__, rec.hHandle,
                  kTextShown, sSearchString, iSession);
    *piArg1 = *piArg2 = *piArg3 = 0;
    unsigned char bFound = 0;
    int iStatus = 0;
    if (rec.hHandle == -1 || !QLIB_DIAG_FindDebugMessage(rec.hHandle, sSearchString, &bFound, piArg1, piArg2, piArg3))
        iStatus = TESSEL_ERROR_LIBRARY;
    *pbFoundMessage = bFound;  // also after a failure
    Mob_TraceResult(iSession, iStatus, "%s( *pbFoundMessage=%d, *piArg1=%d, *piArg2=%d, *piArg3=%d ) = %#x", __func__,
                    *pbFoundMessage, *piArg1, *piArg2, *piArg3, static_cast<unsigned>(iStatus));
    return iStatus;
}
