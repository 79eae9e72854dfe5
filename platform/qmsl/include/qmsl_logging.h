/* The phone's own logging through the diagnostic interface: the phone-log
 * queue, extended log codes, message filters, the phone's debug messages
 * and the asynchronous messages the library collects. */
#ifndef QMSL_LOGGING_H
#define QMSL_LOGGING_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Largest phone log QLIB_DIAG_GetNextPhoneLog writes: its buffer needs this
 * many bytes. */
#define QMSL_PHONE_LOG_MAX 4096

/* Switches the phone's sending of logs on (non-zero) or off. */
QMSL_API unsigned char QLIB_DIAG_SetPhoneLoggingState(QmslHandle handle, unsigned char bEnableLogging);
/* Drops the logs waiting in the library's queue. */
QMSL_API unsigned char QLIB_DIAG_ClearPhoneLogQueue(QmslHandle handle);
/* Takes the oldest waiting log into pLogBuffer (QMSL_PHONE_LOG_MAX bytes) and
 * its size into *piLogSize; waits up to iTimeOut ms for one and fails
 * (size 0) when none comes. */
QMSL_API unsigned char QLIB_DIAG_GetNextPhoneLog(QmslHandle handle, unsigned short* piLogSize,
                                                 unsigned char* pLogBuffer, int iTimeOut);
/* Enables the log codes of one equipment id up to its last item. */
QMSL_API unsigned char QLIB_DIAG_SetExtendedLogCode(QmslHandle handle, unsigned char iEquipmentID,
                                                    unsigned short iLogCode, unsigned short iLastItem);
/* Sets the real-time mask of the debug messages of one subsystem id. */
QMSL_API unsigned char QLIB_DIAG_SetMessageFilter(QmslHandle handle, unsigned short iSSID, unsigned short iRT_MASK);
/* Writes the asynchronous messages collected so far into the text log at
 * iLevel. The three options are the vendor's (this system passes 0, 1, 0). */
QMSL_API unsigned char QLIB_DumpAsyncMessageToTextLog(QmslHandle handle, unsigned int iLevel, unsigned char iOption1,
                                                      unsigned char iOption2, unsigned char iOption3);
/* Looks for a debug message of the phone that contains sSearchString: 1 in
 * *pbFoundMessage and the message's three arguments when there is one, 0
 * otherwise (the call still succeeds). */
QMSL_API unsigned char QLIB_DIAG_FindDebugMessage(QmslHandle handle, const char* sSearchString,
                                                  unsigned char* pbFoundMessage, int* piArg1, int* piArg2,
                                                  int* piArg3);

#ifdef __cplusplus
}
#endif

#endif
