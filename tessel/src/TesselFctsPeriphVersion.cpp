// Version numbers of the phone's software: the software version number from
// the model text and the release date and time in the form the production
// information system files.
#include "TesselFctsPeriph.h"
#include "qmsl_build.h"
#include "qmsl_diag_misc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using periph::hex;

namespace {

constexpr unsigned char kNoSvn = 255;
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// 1..12 for a month name (its first three letters), -1 for none.
int monthNumber(const char* cName) {
    for (int i = 0; i < 12; ++i)
        if (std::strncmp(cName, kMonths[i], 3) == 0) return i + 1;
    return -1;
}

} // namespace

// The number is the two characters after the model text's second ';'.
int _Tessel_SpecialGetSVN(int iSession, unsigned char* iSVN, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!iSVN) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    *iSVN = kNoSvn;
    periph::Status status;
    unsigned int uiHwVersion = 0, uiModel = 0;
    char cSoftware[QMSL_BUILD_TEXT_MAX] = {}, cModel[QMSL_BUILD_TEXT_MAX] = {};
    if (rec.hHandle == -1 || !QLIB_DIAG_EXT_BUILD_ID_F(rec.hHandle, &uiHwVersion, &uiModel, cSoftware, cModel)) {
        status.fail();
    } else {
        cModel[sizeof cModel - 1] = '\0';
        const char* cFirst = std::strchr(cModel, ';');
        const char* cSecond = cFirst ? std::strchr(cFirst + 1, ';') : nullptr;
        if (!cSecond || cSecond[1] == '\0') {
            status.fail();  // no number field: the number stays unknown
        } else {
            char cField[3] = {};
            std::strncpy(cField, cSecond + 1, 2);
            *iSVN = static_cast<unsigned char>(std::atoi(cField));
        }
    }
    Mob_TraceResult(iSession, status.get(), "%s(*iSVN=%d ) = %#x", __func__, *iSVN, hex(status.get()));
    return status.get();
}

// "YYYY-MM-DD hh:mm:ss" from the release date ("Mar  7 2006") and time
// ("14:05:09"). Fields that do not parse stay 0 and fail the export; the
// text is written in any case, within its TESSEL_SW_VERSION_TEXT_MAX bytes.
int _Tessel_SpecialGetSwVerForMero(int iSession, char* cSwVer, const char* cFile, int iLine) {
    constexpr int kDateCut = 11, kTimeCut = 8;
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!cSwVer) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    if (rec.hHandle == -1) {
        Mob_TraceResult(iSession, TESSEL_ERROR_LIBRARY, "%s( ) = %#x", __func__, hex(TESSEL_ERROR_LIBRARY));
        return TESSEL_ERROR_LIBRARY;
    }
    periph::Status status;
    char cCompDate[QMSL_VERNO_TEXT_MAX] = {}, cCompTime[QMSL_VERNO_TEXT_MAX] = {};
    char cRelDate[QMSL_VERNO_TEXT_MAX] = {}, cRelTime[QMSL_VERNO_TEXT_MAX] = {}, cVerDir[QMSL_VERNO_TEXT_MAX] = {};
    unsigned char ucScm = 0, ucCaiRev = 0, ucModel = 0, ucSlot = 0, ucVocMaj = 0, ucVocMin = 0;
    unsigned short usFirmRev = 0;
    if (!status.ok(QLIB_DIAG_VERNO_F(rec.hHandle, cCompDate, cCompTime, cRelDate, cRelTime, cVerDir, &ucScm,
                                     &ucCaiRev, &ucModel, &usFirmRev, &ucSlot, &ucVocMaj, &ucVocMin))) {
        cRelDate[0] = cRelTime[0] = '\0';
    }
    cRelDate[kDateCut] = '\0';
    cRelTime[kTimeCut] = '\0';

    char cMonth[kDateCut + 1] = {};
    int iDay = 0, iYear = 0, iMonth = 0, iHour = 0, iMinute = 0, iSecond = 0;
    const int iDateFields = std::sscanf(cRelDate, "%11s%d%d", cMonth, &iDay, &iYear);
    const int iTimeFields = std::sscanf(cRelTime, "%d:%d:%d", &iHour, &iMinute, &iSecond);
    if (iDateFields < 3 || iTimeFields < 3) status.fail();
    if (iDateFields >= 1) {
        iMonth = monthNumber(cMonth);
        if (iMonth < 0) status.fail();
    }
    std::snprintf(cSwVer, TESSEL_SW_VERSION_TEXT_MAX, "%04d-%02d-%02d %02d:%02d:%02d", iYear, iMonth, iDay, iHour,
                  iMinute, iSecond);
    Mob_TraceResult(iSession, status.get(), "%s( _rel_date='%s', _rel_time='%s', SvMero='%s' ) = %#x", __func__,
                    cRelDate, cRelTime, cSwVer, hex(status.get()));
    return status.get();
}
