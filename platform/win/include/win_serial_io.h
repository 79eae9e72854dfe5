/* Data on a serial port of win_serial.h: driver queues, time-outs, reads,
 * writes and flush.
 *
 * Time-outs follow the Windows rules, measured on the process clock
 * (platform/clock), so in tests they pass in virtual time:
 *  - ReadIntervalTimeout MAXDWORD with both read totals 0: ReadFile returns
 *    at once with what is there;
 *  - ReadIntervalTimeout and ReadTotalTimeoutMultiplier MAXDWORD with a
 *    ReadTotalTimeoutConstant between 0 and MAXDWORD: ReadFile returns at once
 *    with what is there, else as soon as one byte comes, else after the
 *    constant with nothing;
 *  - otherwise ReadFile waits for all bytes, at most multiplier x bytes +
 *    constant ms (no limit when both are 0). The interval between bytes is not
 *    measured.
 * WriteFile waits at most WriteTotalTimeoutMultiplier x bytes +
 * WriteTotalTimeoutConstant ms (no limit when both are 0) for room. A time-out
 * is no failure: the call succeeds with fewer bytes than asked.
 *
 * While the clock runs in virtual time a wait advances it in 1 ms steps, so
 * callbacks scheduled on it (a test's far end of the line) run meanwhile; a
 * read or write with a time-out therefore always ends. A read without any
 * time-out waits until its bytes come.
 *
 * The queue sizes of SetupComm are kept and reported by GetCommProperties;
 * termios has no such sizes to set. Overlapped I/O is not supported: the
 * overlapped argument must be null.
 */
#ifndef WIN_SERIAL_IO_H
#define WIN_SERIAL_IO_H

#include "win_serial.h"

#ifdef __cplusplus
extern "C" {
#endif

#define MAXDWORD 0xFFFFFFFFu

typedef struct _COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
} COMMTIMEOUTS, *LPCOMMTIMEOUTS;

/* The port's properties, laid out as on Windows. Filled here: the packet
 * length, the service mask (SP_SERIALCOMM) and the current queue sizes; the
 * other fields are 0. */
#define SP_SERIALCOMM 0x00000001u
typedef struct _COMMPROP {
    WORD wPacketLength;
    WORD wPacketVersion;
    DWORD dwServiceMask;
    DWORD dwReserved1;
    DWORD dwMaxTxQueue;
    DWORD dwMaxRxQueue;
    DWORD dwMaxBaud;
    DWORD dwProvSubType;
    DWORD dwProvCapabilities;
    DWORD dwSettableParams;
    DWORD dwSettableBaud;
    WORD wSettableData;
    WORD wSettableStopParity;
    DWORD dwCurrentTxQueue;
    DWORD dwCurrentRxQueue;
    DWORD dwProvSpec1;
    DWORD dwProvSpec2;
    WORD wcProvChar[1];
} COMMPROP, *LPCOMMPROP;

/* Queue sizes in bytes (kept, see above); false for a handle not open. */
WIN_API BOOL SetupComm(HANDLE port, DWORD inQueue, DWORD outQueue);
WIN_API BOOL GetCommProperties(HANDLE port, LPCOMMPROP properties);
/* A freshly opened port has all time-outs 0. */
WIN_API BOOL GetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
WIN_API BOOL SetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
/* *done (when given) counts the bytes moved, also on failure. */
WIN_API BOOL ReadFile(HANDLE port, void* buffer, DWORD size, DWORD* done, void* overlapped);
WIN_API BOOL WriteFile(HANDLE port, const void* data, DWORD size, DWORD* done, void* overlapped);
/* Waits until what was written has left the port. */
WIN_API BOOL FlushFileBuffers(HANDLE port);

#ifdef __cplusplus
}
#endif

#endif
