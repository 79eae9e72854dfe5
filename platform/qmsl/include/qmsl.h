/* The vendor diagnostic library's calls, as this system uses them.
 *
 * On Linux there is no vendor library: these calls talk to simulated phones
 * in the calling process, one per COM port (see qmsl_sim.h for the test
 * side). Every call returns a byte that is non-zero on success, unless it
 * says otherwise. A handle that is unknown or disconnected (-1 included)
 * makes every call fail without side effects.
 *
 * Families of typed commands live in their own headers (qmsl_diag.h, ...).
 */
#ifndef QMSL_H
#define QMSL_H

#define QMSL_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* A connection to one phone. Never 0 (0 means "no connection") and never -1. */
typedef int QmslHandle;

/* Longest version text QLIB_GetLibraryVersion writes, with its NUL. */
#define QMSL_VERSION_TEXT_MAX 64

/* --- connection ---------------------------------------------------------- */
/* Connects to the phone on COM port `port`; 0 when no phone is there. A
 * second connect on the same port returns the same handle and counts it. */
QMSL_API QmslHandle QLIB_ConnectServer(unsigned int port);
/* As QLIB_ConnectServer, waiting up to waitMs for a phone that does not
 * answer yet. */
QMSL_API QmslHandle QLIB_ConnectServerWithWait(unsigned int port, unsigned int waitMs);
/* Connects through the logical port alias table (a logical port without an
 * alias is the COM port of the same number). */
QMSL_API QmslHandle QLIB_ConnectServer_LogicalPort(unsigned int logicalPort);
/* Drops one count of the connection; the last one closes it. */
QMSL_API void QLIB_DisconnectServer(QmslHandle handle);
QMSL_API void QLIB_DisconnectAllServers(void);
/* Non-zero while the phone behind the handle answers. */
QMSL_API unsigned char QLIB_IsPhoneConnected(QmslHandle handle);

/* --- library mode and version -------------------------------------------- */
/* True selects the server mode ("QPST"), false the direct COM-port mode
 * ("QPHONEMS"). */
QMSL_API void QLIB_SetLibraryMode(unsigned char useQpst);
/* Writes "QLIB V5.0.40,QPST" or "QLIB V5.0.40,QPHONEMS" (following the mode)
 * into text, which must hold QMSL_VERSION_TEXT_MAX bytes. */
QMSL_API void QLIB_GetLibraryVersion(char* text);

/* --- packet exchange ------------------------------------------------------ */
/* Sends one request and waits up to timeoutMs for its reply. *replyLen holds
 * the reply area's capacity on entry and the reply's length on return (0 when
 * nothing came back). SendRAW passes the bytes unframed. */
QMSL_API unsigned char QLIB_SendSync(QmslHandle handle, unsigned short requestLen, const unsigned char* request,
                                     unsigned short* replyLen, unsigned char* reply, unsigned long timeoutMs);
QMSL_API unsigned char QLIB_SendRAW(QmslHandle handle, unsigned short requestLen, const unsigned char* request,
                                    unsigned short* replyLen, unsigned char* reply, unsigned long timeoutMs);

/* --- text log and call-backs ---------------------------------------------- */
/* Adds a line to the connection's text log (kept per handle; written to the
 * log file once QLIB_StartLogging has named one and the log flags are on). */
QMSL_API unsigned char QLIB_AddUserMessageToTextLog(QmslHandle handle, unsigned int level, const char* text,
                                                    unsigned char asHex);
QMSL_API unsigned char QLIB_StartLogging(QmslHandle handle, const char* fileName);
/* 0 switches the text log file off; any other value switches it on. */
QMSL_API unsigned char QLIB_SetLogFlags(QmslHandle handle, unsigned int flags);

typedef void (*QmslCallback)(void);
/* Registers the EFS-directory call-back (first, a QmslEfsDirectoryCallback
 * of qmsl_efs.h) and the download-progress call-back (second, a
 * QmslDownloadProgressCallback of qmsl_download.h); 0 removes one. */
QMSL_API unsigned char QLIB_ConfigureCallBacks(QmslHandle handle, void* efsDirectory, void* downloadProgress,
                                               void* reserved);

#ifdef __cplusplus
}
#endif

#endif
