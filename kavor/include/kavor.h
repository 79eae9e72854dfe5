/* Phone-test extension library: the phone maker's own commands on top of the
 * vendor diagnostic library.
 *
 * Connections are keyed by the vendor handle. Except for the connection,
 * mode and version calls below, every export takes that handle first and
 * returns a one-byte boolean, non-zero on success; values read from the phone
 * come back through the caller's out-parameters. An unknown handle gives
 * false with nothing sent. The AT and OBEX exports work only in the direct
 * COM-port library mode.
 */
#ifndef KAVOR_H
#define KAVOR_H

#include "qmsl.h"

#define KAVOR_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Room a caller gives the two version exports (the longest text and its NUL). */
#define KAVOR_VERSION_TEXT_MAX 24

/* Room a caller gives each of KAVOR_CheckSWBuild's five version texts and
 * each of its two build-id texts (longer build-id texts are cut to fit), and
 * KAVOR_BluetoothTestConnect's address text (12 hexadecimal digits, NUL). */
#define KAVOR_VERNO_TEXT_MAX 32
#define KAVOR_BUILD_ID_TEXT_MAX 512
#define KAVOR_BT_ADDRESS_TEXT_MAX 13

/* Progress call-back of the software uploads. */
typedef void (*KavorProgressCallback)(int, int);

/* --- connection, mode, versions, progress call-back ----------------------- */
/* Connect to the phone on a COM port (or a logical port) after checking the
 * vendor library's version; the handle, or 0 on failure. */
KAVOR_API QmslHandle KAVOR_ConnectServer(unsigned int iComPort);
KAVOR_API QmslHandle KAVOR_ConnectServerWithWait(unsigned int iComPort, unsigned int iWait_ms);
KAVOR_API QmslHandle KAVOR_ConnectServer_LogicalPort(unsigned int iLogicalPort);
KAVOR_API void KAVOR_DisconnectServer(QmslHandle hResourceContext);
KAVOR_API void KAVOR_DisconnectAllServers(void);
/* 1 selects the vendor's server mode (QPST); anything else the direct
 * COM-port mode (QPHONEMS). */
KAVOR_API void KAVOR_SetLibraryMode(unsigned char ucMode);
/* True when the vendor library reports its server mode. */
KAVOR_API unsigned char KAVOR_GetLibraryMode(void);
/* Copy the text for the current mode; the buffer needs KAVOR_VERSION_TEXT_MAX
 * bytes. The first returns the bytes copied, NUL included. */
KAVOR_API unsigned int KAVOR_GetExtensionVersion(char* pcVersion);
KAVOR_API void KAVOR_GetSupportedQLibVersion(char* pcVersion);
/* Store the one process-wide progress call-back (the handle selects nothing). */
KAVOR_API void KAVOR_SetCallback(QmslHandle hResourceContext, KavorProgressCallback pCallback);

/* --- the command families -------------------------------------------------- */
#define KAVOR_EXPORT(family, name, member, params, args) KAVOR_API unsigned char name params;
#include "kavor_exports.inc"
#undef KAVOR_EXPORT

#ifdef __cplusplus
}
#endif

#endif
