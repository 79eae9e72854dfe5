/* Typed diagnostic commands besides mode, status and NV: keys, version,
 * error log, security, GSM call control, display, service programming code
 * and the flash device of the file system. */
#ifndef QMSL_DIAG_MISC_H
#define QMSL_DIAG_MISC_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Room for each of QLIB_DIAG_VERNO_F's five texts, NUL included. */
#define QMSL_VERNO_TEXT_MAX 32
/* Room for QLIB_EFS2_DIAG_DEV_INFO's device name, NUL included. */
#define QMSL_EFS_DEVICE_NAME_MAX 64
/* Records QLIB_DIAG_ERR_READ_F reports. */
#define QMSL_ERROR_RECORDS_MAX 20

/* One entry of the phone's error log. */
typedef struct {
    unsigned char iAddress;
    unsigned char iCount;
    char sFileName[8];
    unsigned short iLineNumber;
    unsigned char bFatal;
} QMSL_ErrorRecord;

/* The phone's error log as QLIB_DIAG_ERR_READ_F reads it. */
typedef struct {
    unsigned short iErrorCount;   /* errors logged */
    unsigned short iErrorIgnored; /* errors that found no free record */
    QMSL_ErrorRecord aRecords[QMSL_ERROR_RECORDS_MAX];
} QMSL_ErrorLog;

/* A key event of the handset: iKey is the key code, bHold non-zero holds it. */
QMSL_API unsigned char QLIB_DIAG_HS_KEY_F(QmslHandle handle, int iKey, unsigned char bHold);
/* The phone's version: five texts of QMSL_VERNO_TEXT_MAX bytes each (compile
 * date and time, release date and time, version directory), then the
 * station class mark, CAI revision, mobile model, firmware revision, slot
 * cycle index and vocoder major and minor version. */
QMSL_API unsigned char QLIB_DIAG_VERNO_F(QmslHandle handle, char* comp_date, char* comp_time, char* rel_date,
                                         char* rel_time, char* ver_dir, unsigned char* scm,
                                         unsigned char* mob_cai_rev, unsigned char* mob_model,
                                         unsigned short* mob_firm_rev, unsigned char* slot_cycle_index,
                                         unsigned char* voc_maj, unsigned char* voc_min);
QMSL_API unsigned char QLIB_DIAG_ERR_READ_F(QmslHandle handle, QMSL_ErrorLog* pErrorRead);
QMSL_API unsigned char QLIB_DIAG_ERR_CLEAR_F(QmslHandle handle, int iErrorRec);
QMSL_API unsigned char QLIB_DIAG_SECURITY_FREEZE_F(QmslHandle handle);
/* Seven words of the GSM call manager: call state, operational mode, system
 * mode, then four more the phone reports. */
QMSL_API unsigned char QLIB_DIAG_GSM_STATUS_F(QmslHandle handle, int* piCM_CallState, int* piCM_OperationalMode,
                                             int* piCM_SystemMode, int* piWord4, int* piWord5, int* piWord6,
                                             int* piWord7);
QMSL_API unsigned char QLIB_DIAG_GSM_CALL_ORIG_F(QmslHandle handle, unsigned char iNumDigits,
                                                const unsigned char* piDigits);
QMSL_API unsigned char QLIB_DIAG_GSM_CALL_END_F(QmslHandle handle);
QMSL_API unsigned char QLIB_DIAG_HS_DISPLAY_GET_PARAMS_CMD(QmslHandle handle, int iDisplayID,
                                                          unsigned short* piHeight, unsigned short* piWidth,
                                                          unsigned short* piDepth, unsigned short* piOrientation);
/* Sends the 6-character service programming code; *piSPC_Result is 1 when
 * the phone accepted it (unlocked), 0 when it refused it. */
QMSL_API unsigned char QLIB_DIAG_SPC_F(QmslHandle handle, const char* iSPC, unsigned char* piSPC_Result);
/* The flash device of the phone's file system: eight numbers (blocks, pages
 * per block, page size, total page size, device type, maker id, device id,
 * device flags) and the device name (QMSL_EFS_DEVICE_NAME_MAX bytes). */
QMSL_API unsigned char QLIB_EFS2_DIAG_DEV_INFO(QmslHandle handle, unsigned int* piNumBlocks,
                                              unsigned int* piPagesPerBlock, unsigned int* piPageSize,
                                              unsigned int* piTotalPageSize, unsigned int* piDeviceType,
                                              unsigned int* piMakerId, unsigned int* piDeviceId,
                                              unsigned int* piDeviceFlags, char* sDeviceName);

#ifdef __cplusplus
}
#endif


#endif
