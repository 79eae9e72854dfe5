/* Port lists and aliases, and the settings of one connection's port. The
 * list calls need no handle. */
#ifndef QMSL_PORT_H
#define QMSL_PORT_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* COM ports with a device attached. *piNumPorts: room of piPortList on
 * entry, ports written on return (ascending). */
QMSL_API unsigned char QLIB_GetAllPortList(unsigned short* piNumPorts, unsigned short* piPortList);
/* As above, for ports whose phone answers, leaving out the ignore list. */
QMSL_API unsigned char QLIB_GetAvailablePhonesPortList(unsigned short* piNumPorts, unsigned short* piPortList,
                                                      unsigned short iNumIgnorePorts,
                                                      const unsigned short* piIgnorePortList);
/* Logical port aliases used by QLIB_ConnectServer_LogicalPort. */
QMSL_API unsigned char QLIB_AddPortAliasEntry(unsigned short iLogicalPort, unsigned short iPhysicalPort);
QMSL_API unsigned char QLIB_ClearPortAliasList(void);

/* The COM port of a connection. */
QMSL_API unsigned char QLIB_GetComPortNumber(QmslHandle handle, unsigned short* piPhysicalPort);
/* The connection's time-out for software-download exchanges, in ms. */
QMSL_API unsigned char QLIB_ConfigureTimeOut(QmslHandle handle, int iNewValue_ms);
/* Drops what the connection has received and not read yet. */
QMSL_API unsigned char QLIB_FlushRxBuffer(QmslHandle handle);
/* Stops a running software download. */
QMSL_API unsigned char QLIB_AbortSW_DownloadOperation(QmslHandle handle);
/* Non-zero lets the connection search for a diagnostic packet start in
 * received data. */
QMSL_API unsigned char QLIB_SetData2DiagSearch(QmslHandle handle, unsigned char bEnable);

#ifdef __cplusplus
}
#endif

#endif
