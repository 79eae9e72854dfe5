// Software download with steps of their own: the caller's call-backs, the
// hex-file upload with its two call lines, and the text of the last
// download error.
#include "TesselFcts.h"
#include "qmsl_download.h"
#include "qmsl_efs.h"

#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <type_traits>

static_assert(std::is_same_v<TESSEL_EfsDirectoryCallBack, QmslEfsDirectoryCallback>, "EFS-directory call-back");
static_assert(sizeof(TESSEL_DownloadEvent) == sizeof(QmslDownloadEvent) &&
                  offsetof(TESSEL_DownloadEvent, value) == offsetof(QmslDownloadEvent, value),
              "download event layout");

namespace {

// Longest part of a caller's text a trace line shows.
constexpr int kTextShown = 256;

} // namespace

int _Tessel_ConfigureCallBacks(int iSession, TESSEL_EfsDirectoryCallBack pEfsDirectory,
                               TESSEL_DownloadProgressCallBack pDownloadProgress, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, pEfsDirectory=0x%" PRIxPTR ", pDownloadProgress=0x%" PRIxPTR " ) Sess=%d",
                  __func__, rec.hHandle, Mob_Address(reinterpret_cast<const void*>(pEfsDirectory)),
                  Mob_Address(reinterpret_cast<const void*>(pDownloadProgress)), iSession);
    int iStatus = 0;
    if (rec.hHandle == -1)
        iStatus = TESSEL_ERROR_LIBRARY;
    else  // the vendor's answer is not tested
        QLIB_ConfigureCallBacks(rec.hHandle, reinterpret_cast<void*>(pEfsDirectory),
                                reinterpret_cast<void*>(pDownloadProgress), nullptr);
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, static_cast<unsigned>(iStatus));
    return iStatus;
}

int _Tessel_UploadHexFile(int iSession, const char* sFileName, const char* sSPC, int bClearErrorLog,
                          int bOverrideModelCheck, int bSkipReset, int bUseCustomArmProg, int bUploadArmProg,
                          int bDoAutoRestoreBackup, const char* sAutoRestoreBackupName, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!sFileName || !sSPC || !sAutoRestoreBackupName) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine,
                  "1. %s( Handle=%d, sFileName=%.*s, sSPC=%.*s, bClearErrorLog=%d, bOverrideModelCheck=%d ) Sess=%d",
                  __func__, rec.hHandle, kTextShown, sFileName, kTextShown, sSPC, bClearErrorLog, bOverrideModelCheck,
                  iSession);
    Mob_TraceCall(iSession, cFile, iLine,
                  "2. %s( Handle=%d, bSkipReset=%d, bUseCustomArmProg=%d, bUploadArmProg=%d, bDoAutoRestoreBackup=%d, "
                  "sAutoRestoreBackupName=%.*s ) Sess=%d",
                  __func__, rec.hHandle, bSkipReset, bUseCustomArmProg, bUploadArmProg, bDoAutoRestoreBackup, kTextShown,
                  sAutoRestoreBackupName, iSession);
    auto u8 = [](int v) { return static_cast<unsigned char>(v); };
    int iStatus = 0;
    if (rec.hHandle == -1 ||
        !QLIB_UploadHexFile(rec.hHandle, sFileName, sSPC, u8(bClearErrorLog), u8(bOverrideModelCheck), u8(bSkipReset),
                            u8(bUseCustomArmProg), u8(bUploadArmProg), u8(bDoAutoRestoreBackup), sAutoRestoreBackupName))
        iStatus = TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, static_cast<unsigned>(iStatus));
    return iStatus;
}

int _Tessel_GetLastSoftwareDownloadErrorInfo(int iSession, unsigned short* pbErrorOccurred, char* sErrorMessage,
                                             int iMaxStringLength, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!pbErrorOccurred || !sErrorMessage || iMaxStringLength < 1) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iMaxStringLength=%d ) Sess=%d", __func__, rec.hHandle,
                  iMaxStringLength, iSession);
    // Emptied before and terminated within its length after: the text is
    // whole whatever the call left there.
    sErrorMessage[0] = '\0';
    int iStatus = 0;
    if (rec.hHandle == -1)
        iStatus = TESSEL_ERROR_LIBRARY;
    else  // the vendor's answer is not tested
        QLIB_GetLastSoftwareDownloadErrorInfo(rec.hHandle, pbErrorOccurred, sErrorMessage, iMaxStringLength);
    sErrorMessage[iMaxStringLength - 1] = '\0';
    Mob_TraceResult(iSession, iStatus, "%s( *pbErrorOccurred=%d, sErrorMessage=%s ) = %#x", __func__, *pbErrorOccurred,
                    sErrorMessage, static_cast<unsigned>(iStatus));
    return iStatus;
}
