// Diagnostic operations with rules of their own: the generic NV item read
// and write, the service programming code, the factory data byte, the
// version, the flash id and the PMIC USB test that is not available.
#include "TesselEnum.h"
#include "TesselFcts.h"
#include "kavor.h"
#include "qmsl_diag.h"
#include "qmsl_diag_misc.h"

#include <cstring>

namespace {

constexpr int kFactoryDataSize = 128;

unsigned hex(int iStatus) { return static_cast<unsigned>(iStatus); }

} // namespace

int _Tessel_DiagNvWriteF(int iSession, int iItemID, const unsigned char* pData, int iLength,
                         unsigned short* piNvStatus, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (iLength < 0 || (iLength > 0 && !pData) || !piNvStatus) return TESSEL_ERROR_PARAMETER2;
    const auto usItem = static_cast<unsigned short>(iItemID);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iItemID=%d, iLength=%d ) Sess=%d", __func__, rec.hHandle,
                  usItem, iLength, iSession);
    if (Mob_TraceOn_m()) Mob_TraceByteArray(iLength, pData, "NV");
    int iStatus = 0;
    if (rec.hHandle == -1 || !QLIB_DIAG_NV_WRITE_F(rec.hHandle, usItem, pData, iLength, piNvStatus))
        iStatus = TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s() = %#x(*piNvStatus=%d(%s))", __func__, hex(iStatus), *piNvStatus,
                    Get_cNvStat(*piNvStatus));
    return iStatus;
}

int _Tessel_DiagNvReadF(int iSession, int iItemID, unsigned char* pData, int iLength, unsigned short* piStatus,
                        const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (iLength < 0 || (iLength > 0 && !pData) || !piStatus) return TESSEL_ERROR_PARAMETER2;
    const auto usItem = static_cast<unsigned short>(iItemID);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iItemID=%d, iLength=%d ) Sess=%d", __func__, rec.hHandle,
                  usItem, iLength, iSession);
    int iStatus = 0;
    if (rec.hHandle == -1) {
        iStatus = TESSEL_ERROR_LIBRARY;
    } else {
        if (!QLIB_DIAG_NV_READ_F(rec.hHandle, usItem, pData, iLength, piStatus)) iStatus = TESSEL_ERROR_LIBRARY;
        if (Mob_TraceOn_m()) Mob_TraceByteArray(iLength, pData, "NV");
    }
    Mob_TraceResult(iSession, iStatus, "%s(*piStatus=%d(%s)) = %#x", __func__, *piStatus, Get_cNvStat(*piStatus),
                    hex(iStatus));
    return iStatus;
}

int _Tessel_DiagSpcF(int iSession, const char* iSPC, unsigned char* piSPC_Result, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!iSPC || !piSPC_Result) return TESSEL_ERROR_PARAMETER2;
    // The phone reads six characters; a shorter text is sent zero-padded,
    // never read past its end.
    char cCode[TESSEL_SPC_LENGTH + 1] = {};
    std::memcpy(cCode, iSPC, strnlen(iSPC, TESSEL_SPC_LENGTH));
    // The trace shows the padding of a short code as blanks, so the line is
    // not cut at the first zero byte.
    auto shown = [&](int i) { return cCode[i] ? cCode[i] : ' '; };
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iSPC[5...0]=%c%c%c%c%c%c ) Sess=%d", __func__, rec.hHandle,
                  shown(5), shown(4), shown(3), shown(2), shown(1), shown(0), iSession);
    *piSPC_Result = 0;
    int iStatus = 0;
    if (rec.hHandle == -1 || !QLIB_DIAG_SPC_F(rec.hHandle, cCode, piSPC_Result)) iStatus = TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s( piSPC_Result=%d(%s) ) = %#x", __func__, *piSPC_Result,
                    *piSPC_Result == 1 ? "OPEN" : "CLOSED", hex(iStatus));
    return iStatus;
}

int _Tessel_FtmReadWriteFactoryData(int iSession, int iOperationType, int iDataAddress, unsigned char* piDataValue,
                                    const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!piDataValue) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iOperationType=%d, iDataAddress=%d, *piDataValue=0x%02X ) Sess=%d",
                  __func__, rec.hHandle, iOperationType, iDataAddress, *piDataValue, iSession);
    int iStatus = 0;
    if (rec.hHandle == -1 || iDataAddress < 0 || iDataAddress >= kFactoryDataSize ||
        !KAVOR_FTM_READ_WRITE_FACTORY_DATA(rec.hHandle, static_cast<unsigned char>(iOperationType),
                                           static_cast<unsigned short>(iDataAddress), piDataValue))
        iStatus = TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s( *piDataValue=0x%02X ) = %#x", __func__, *piDataValue, hex(iStatus));
    return iStatus;
}

int _Tessel_DiagVernoF(int iSession, char* comp_date, char* comp_time, char* rel_date, char* rel_time, char* ver_dir,
                       unsigned char* scm, unsigned char* mob_cai_rev, unsigned char* mob_model,
                       unsigned short* mob_firm_rev, unsigned char* slot_cycle_index, unsigned char* voc_maj,
                       unsigned char* voc_min, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    char* const texts[] = {comp_date, comp_time, rel_date, rel_time, ver_dir};
    constexpr int kCut[] = {11, 8, 11, 8, 8};
    for (char* t : texts)
        if (!t) return TESSEL_ERROR_PARAMETER2;
    if (!scm || !mob_cai_rev || !mob_model || !mob_firm_rev || !slot_cycle_index || !voc_maj || !voc_min)
        return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    for (char* t : texts) std::memset(t, 0, TESSEL_VERNO_TEXT_MAX);
    int iStatus = 0;
    if (rec.hHandle == -1 ||
        !QLIB_DIAG_VERNO_F(rec.hHandle, comp_date, comp_time, rel_date, rel_time, ver_dir, scm, mob_cai_rev,
                           mob_model, mob_firm_rev, slot_cycle_index, voc_maj, voc_min))
        iStatus = TESSEL_ERROR_LIBRARY;
    for (int i = 0; i < 5; ++i) texts[i][kCut[i]] = '\0';
    if (Mob_TraceOn_m()) {
        Mob_TraceResult(iSession, iStatus, "1. %s( comp_date=%s, comp_time=%s, rel_date=%s, ver_dir=%s ) = %#x",
                        __func__, comp_date, comp_time, rel_date, ver_dir, hex(iStatus));
        Mob_TraceResult(iSession, iStatus, "2. %s( scm=%d, mob_cai_rev=%d, mob_model=%d, mob_firm_rev=%d ) = %#x",
                        __func__, *scm, *mob_cai_rev, *mob_model, *mob_firm_rev, hex(iStatus));
        Mob_TraceResult(iSession, iStatus, "3. %s( slot_cycle_index=%d, voc_maj=%d, voc_min=%d ) = %#x", __func__,
                        *slot_cycle_index, *voc_maj, *voc_min, hex(iStatus));
    }
    return iStatus;
}

int _Tessel_FtmGetNandFlashId(int iSession, unsigned short* piVersionData, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!piVersionData) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    // Zeros to start with: a failed call gives id 0, never stale values.
    unsigned int ui[8] = {};
    char cName[QMSL_EFS_DEVICE_NAME_MAX] = {};
    int iStatus = 0;
    if (rec.hHandle == -1 ||
        !QLIB_EFS2_DIAG_DEV_INFO(rec.hHandle, &ui[0], &ui[1], &ui[2], &ui[3], &ui[4], &ui[5], &ui[6], &ui[7], cName))
        iStatus = TESSEL_ERROR_LIBRARY;
    *piVersionData = static_cast<unsigned short>(ui[5] * 256u + ui[6]);
    Mob_TraceResult(iSession, iStatus, "%s( *piVersionData=0x%04X(%s) ) = %#x", __func__, *piVersionData,
                    Get_cFlash(*piVersionData), hex(iStatus));
    return iStatus;
}

int _Tessel_FtmTestFtmPmicUsb(int iSession, int iUSB_UART_Mode, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iUSB_UART_Mode=%d ) Sess=%d", __func__, rec.hHandle,
                  iUSB_UART_Mode, iSession);
    Mob_TraceResult(iSession, TESSEL_ERROR_LIBRARY, "%s() = %#x", __func__, hex(TESSEL_ERROR_LIBRARY));
    return TESSEL_ERROR_LIBRARY;
}
