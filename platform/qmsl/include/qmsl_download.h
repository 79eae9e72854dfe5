/* Software download: software and file-system images, multi-image loads,
 * calibration files and the NV backup, and the progress call-back they
 * report through.
 *
 * Call-backs (QLIB_ConfigureCallBacks in qmsl.h): the first function address
 * is the EFS-directory call-back (QmslEfsDirectoryCallback, qmsl_efs.h), the
 * second the download-progress call-back below. During a download the
 * library calls the progress call-back in the caller's thread once per
 * event; it ignores the call-back's answer. */
#ifndef QMSL_DOWNLOAD_H
#define QMSL_DOWNLOAD_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Kinds of download events. */
#define QMSL_DOWNLOAD_EVENT_STAGE 0          /* value: the stage now running */
#define QMSL_DOWNLOAD_EVENT_TOTAL_SIZE 11    /* value: bytes the transfer will move */
#define QMSL_DOWNLOAD_EVENT_PROGRESS 12      /* value: bytes moved so far */
#define QMSL_DOWNLOAD_EVENT_STAGE_CHANGE 14  /* value: the stage now running */

/* One download event: the kind, a word this system does not use, the value. */
typedef struct {
    unsigned int eventKind;
    unsigned int reserved;
    unsigned int value;
} QmslDownloadEvent;

/* The download-progress call-back (second slot of QLIB_ConfigureCallBacks);
 * the record lives only for the call. */
typedef unsigned char (*QmslDownloadProgressCallback)(const QmslDownloadEvent* pEvent);

/* Loads a compact file-system image (and its partition file) into the phone.
 * The two calls differ in the vendor's download method. */
QMSL_API unsigned char QLIB_UploadCEFS_File(QmslHandle handle, const char* sFileName, const char* sPartitionFileName);
QMSL_API unsigned char QLIB_UploadCEFS_File2(QmslHandle handle, const char* sFileName, const char* sPartitionFileName);

/* The 23 values of a multi-image load after the handle: texts (image and
 * option files) and option bytes whose meaning is the vendor's, passed to
 * the phone as they are. Written once here for every caller. */
#define QMSL_MULTI_IMAGE_PARAMS                                                                                      \
    const char *sFile1, const char *sFile2, const char *sFile3, const char *sFile4, const char *sFile5,              \
        const char *sFile6, const char *sFile7, const char *sFile8, const char *sFile9, const char *sFile10,         \
        const char *sFile11, const char *sFile12, const char *sFile13, unsigned char ucFlag14,                       \
        unsigned char ucFlag15, const char *sFile16, unsigned char ucFlag17, const char *sFile18,                    \
        unsigned char ucFlag19, unsigned char ucFlag20, unsigned char ucFlag21, unsigned int iValue22,              \
        const char *sFile23
#define QMSL_MULTI_IMAGE_ARGS                                                                                        \
    sFile1, sFile2, sFile3, sFile4, sFile5, sFile6, sFile7, sFile8, sFile9, sFile10, sFile11, sFile12, sFile13,      \
        ucFlag14, ucFlag15, sFile16, ucFlag17, sFile18, ucFlag19, ucFlag20, ucFlag21, iValue22, sFile23
QMSL_API unsigned char QLIB_UploadMultiImage(QmslHandle handle, QMSL_MULTI_IMAGE_PARAMS);

/* Loads a software image (hex file) into the phone, unlocked with the
 * service programming code sSPC; the flags are the vendor's options. */
QMSL_API unsigned char QLIB_UploadHexFile(QmslHandle handle, const char* sFileName, const char* sSPC,
                                          unsigned char bClearErrorLog, unsigned char bOverrideModelCheck,
                                          unsigned char bSkipReset, unsigned char bUseCustomArmProg,
                                          unsigned char bUploadArmProg, unsigned char bDoAutoRestoreBackup,
                                          const char* sAutoRestoreBackupName);
/* Whether the last download failed (*pbErrorOccurred 1) and its text: at
 * most iMaxStringLength bytes are written, terminated only when the text
 * fits. */
QMSL_API unsigned char QLIB_GetLastSoftwareDownloadErrorInfo(QmslHandle handle, unsigned short* pbErrorOccurred,
                                                             char* sErrorMessage, int iMaxStringLength);
/* Calibration (QCN) files: from the phone into sFileName, and from the file
 * into the phone. iVendorArg and the flags are the vendor's options. */
QMSL_API unsigned char QLIB_DownloadQcnFile(QmslHandle handle, const char* sFileName, int iVendorArg);
QMSL_API unsigned char QLIB_UploadQcnFile(QmslHandle handle, const char* sFileName, int iVendorArg,
                                          unsigned char bAutoRestore, unsigned char bSkipReset,
                                          unsigned char bAllowEsnMismatch, unsigned char bIgnorePhoneModel);
/* Backs the NV items up into the phone's calibration partition. */
QMSL_API unsigned char QLIB_DIAG_NV_CNV_DIAG_BACKUP_F(QmslHandle handle);

#ifdef __cplusplus
}
#endif

#endif
