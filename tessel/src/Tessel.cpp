// The library's front door: init, close, status texts and the revision query.
#include "TesselInternal.h"
#include "kavor.h"
#include "qmsl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kTesselVersion = "05.00.40.01";
constexpr const char* kQLibFile = "qmsl_msvc6r.dll";
constexpr const char* kQLibExpected = "5.0.40";
constexpr const char* kExtFile = "kavor.dll";
constexpr const char* kExtExpected = "02.4.15";

struct StatusText {
    int iStatus;
    const char* cText;
};

// Searched from the top, the first match wins. TESSEL_ERROR_INIT has no row:
// its text is the reason of the latest failed init.
constexpr StatusText kStatusTexts[] = {
    {TESSEL_ERROR_INSTR_ID, "ERROR: Instrument ID from l3_idrv is invalid."},
    {TESSEL_ERROR_NO_INSTRUMENT, "ERROR: No instrument found."},
    {TESSEL_ERROR_PARAMETER2, "ERROR: Parameter 2 out of range."},
    {TESSEL_ERROR_SESSION_INVALID, "ERROR: Session no is invalid."},
    {TESSEL_ERROR_SESSION_NOT_IN_LIST, "ERROR: Session no is not in local list."},
    {TESSEL_ERROR_RESOURCE_FORMAT, "ERROR: Bad Resource Name Format."},
    {TESSEL_ERROR_INI_OPEN, "ERROR: Failed to open ini file."},
    {TESSEL_ERROR_INI_TAG, "ERROR: Tag-name not found in ini file."},
    {TESSEL_ERROR_MOBILE_TYPE, "ERROR: Mobile type not supported."},
    {TESSEL_ERROR_LIBRARY, "ERROR: Library Error."},
    {TESSEL_ERROR_NO_VALUE, "ERROR: No Value was putted to data container"},
};

// The number right after `tag` in the text (leading-number conversion), or
// false when the tag is missing.
bool numberAfter(const char* cText, const char* cTag, long* plValue) {
    const char* p = std::strstr(cText, cTag);
    if (!p) return false;
    *plValue = std::strtol(p + std::strlen(cTag), nullptr, 10);
    return true;
}

std::int8_t lowByteSigned(unsigned long ulValue) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(ulValue));
}

// "TRACELEVEL:": low byte as signed; above 9 means 0; missing means 0.
std::int8_t traceLevelOf(const char* cResource) {
    long lValue = 0;
    if (!numberAfter(cResource, "TRACELEVEL:", &lValue)) return 0;
    const std::int8_t cLevel = lowByteSigned(static_cast<unsigned long>(lValue));
    return cLevel > 9 ? 0 : cLevel;
}

// "MZ4BB:": the absolute value, low byte as signed; outside 1..16 no box.
std::int8_t boxPortOf(const char* cResource) {
    long lValue = 0;
    if (!numberAfter(cResource, "MZ4BB:", &lValue)) return -1;
    const unsigned long ulMagnitude = lValue < 0 ? 0UL - static_cast<unsigned long>(lValue)
                                                 : static_cast<unsigned long>(lValue);
    const std::int8_t cPort = lowByteSigned(ulMagnitude);
    return (cPort >= 1 && cPort <= 16) ? cPort : -1;
}

// A failed init traces its reason and keeps it as the text of
// TESSEL_ERROR_INIT, so the caller never reads an empty or older reason.
int bailOut(int iSession, const char* cReason) {
    Mob_SetLastError_m(cReason);
    Mob_TraceInfo(iSession, "", 0, "%s", cReason);
    return TESSEL_ERROR_INIT;
}

// One version gate: find the "V", compare, trace the failure. The gate's
// own text (failure or warning) is in cLastErrStr afterwards.
int checkVersion(int iSession, const char* cReported, const char* cWhat, const char* cFile,
                 const char* cExpected) {
    const char* cFromV = std::strchr(cReported, 'V');
    char cReason[TESSEL_ERROR_TEXT_MAX];
    if (!cFromV) {
        std::snprintf(cReason, sizeof cReason, "ERROR: Cannot get %s version number. Bailing out.", cWhat);
        return bailOut(iSession, cReason);
    }
    if (Mob_CheckDrvRev_m(cFile, cFromV, cExpected, cLastErrStr) != 0) {
        Mob_TraceInfo(iSession, "", 0, "ERROR: Wrong %s version number (%s). Expected %s.", cWhat, cFromV, cExpected);
        return TESSEL_ERROR_INIT;
    }
    return 0;
}

} // namespace

int _Tessel_init(const char* cResourceName, TracerSession sesTracer, int* piSession, const char* cFile, int iLine) {
    if (!piSession) return TESSEL_ERROR_PARAMETER2;
    sesTracer_m = sesTracer;
    const char* cResource = cResourceName ? cResourceName : "";

    long lPort = 0;
    if (!numberAfter(cResource, "ASRL", &lPort)) return TESSEL_ERROR_RESOURCE_FORMAT;
    const std::uint8_t ucComPort = static_cast<std::uint8_t>(lPort);
    if (!std::strstr(cResource, ":qc")) return TESSEL_ERROR_RESOURCE_FORMAT;

    iTraceLev = traceLevelOf(cResource);
    const std::int8_t cBoxComPort = boxPortOf(cResource);
    KAVOR_SetLibraryMode(cBoxComPort != -1 ? 1 : 0);

    char cQLibVersion[256] = "";
    char cExtVersion[256] = "";
    QLIB_GetLibraryVersion(cQLibVersion);
    KAVOR_GetExtensionVersion(cExtVersion);

    const int iSession = Mob_GetNewSessionNo_m();
    if (iSession == 0) return bailOut(0, "ERROR: Did not get valid session number. Bailing out.");
    if (int iStatus = checkVersion(iSession, cQLibVersion, "QLib", kQLibFile, kQLibExpected)) return iStatus;
    if (int iStatus = checkVersion(iSession, cExtVersion, "Extensions", kExtFile, kExtExpected)) return iStatus;

    // The banner is written whatever the trace level.
    Mob_TraceF(iSession, 0, TRACE_INFO, "", 0, "*** This is L3 Tessel V%s with trace level %i. ", kTesselVersion,
               iTraceLev);
    Mob_TraceF(iSession, 0, TRACE_INFO, "", 0, "***   L2 QLib version %s.", cQLibVersion);
    Mob_TraceF(iSession, 0, TRACE_INFO, "", 0, "***   L2 QExt version %s.", cExtVersion);
    Mob_TraceF(iSession, 0, TRACE_INFO, "", 0, "Using primary port COM%d. ", ucComPort);
    if (cBoxComPort != -1)
        Mob_TraceF(iSession, 0, TRACE_INFO, "", 0, "*** MZ4 Boot Box mode using COM%d for control lines. ",
                   cBoxComPort);

    _Tessel_PutDtrState(0, "Tessel", 272);
    _Tessel_PutUserDefinedTimeoutInitial(8000, "Tessel", 274);

    SessionRecord rec;
    rec.iSession = iSession;
    rec.iDriverKind = 0;
    rec.ucTraceLevel = static_cast<std::uint8_t>(iTraceLev);
    rec.ucComPort = ucComPort;
    rec.cBoxComPort = cBoxComPort;
    if (Mob_AddToGlSesHdl_m(rec) != 0)
        return bailOut(iSession, "ERROR: Did not get valid session number. Bailing out.");
    *piSession = iSession;
    return 0;
}

int _Tessel_close(int iSession, const char* cFile, int iLine) {
    Mob_TraceCall(iSession, cFile, iLine, "_Tessel_close( Session=%d ) ", iSession);
    return Mob_DelSesFromGlSesHdl_m(iSession);
}

int _Tessel_errorMessage(int iSession, int iStatus, char* cErrMsg) {
    if (!cErrMsg) return TESSEL_ERROR_PARAMETER2;
    cErrMsg[0] = '\0';
    if (iStatus == TESSEL_ERROR_INIT) {
        std::snprintf(cErrMsg, TESSEL_ERROR_TEXT_MAX, "%s", cLastErrStr);
        return 0;
    }
    for (const StatusText& row : kStatusTexts) {
        if (row.iStatus == iStatus) {
            std::snprintf(cErrMsg, TESSEL_ERROR_TEXT_MAX, "%s", row.cText);
            return 0;
        }
    }
    return Mob_InvalidSessionNr_m(iSession) ? TESSEL_ERROR_SESSION_INVALID : 0;
}

int _Tessel_revisionQuery(int iSession, char* cDriverRev, char* cInstrRev, const char* cFile, int iLine) {
    if (!cDriverRev || !cInstrRev) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "_Tessel_revisionQuery( Sess=%d )", iSession);
    // Both texts are read into local buffers first: the caller's buffer has a
    // documented size, the libraries write without one.
    char cQLibVersion[QMSL_VERSION_TEXT_MAX] = "";
    char cExtVersion[128] = "";
    QLIB_GetLibraryVersion(cQLibVersion);
    KAVOR_GetExtensionVersion(cExtVersion);
    std::snprintf(cDriverRev, TESSEL_REVISION_TEXT_MAX, "%s", kTesselVersion);
    std::snprintf(cInstrRev, TESSEL_REVISION_TEXT_MAX, "%s,%s", cQLibVersion, cExtVersion);
    Mob_TraceResult(iSession, 0, "_Tessel_revisionQuery( L3rev=\"%s\", L2rev=\"%s\" )", cDriverRev, cInstrRev);
    return 0;
}
