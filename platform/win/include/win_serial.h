/* Serial ports with the Windows calls, over termios.
 *
 * Names: "COMn" opens the device named by the environment variable COMn
 * when it is set, else /dev/ttyS{n-1}; any other name is used as a path.
 * A port is always opened without sharing (TIOCEXCL and an exclusive
 * flock), so a second open of the same device fails while the first is
 * open. DTR and RTS are cleared at once after the open: on the test line DTR
 * is a phone's power key, and Linux raises both lines when it opens a tty.
 *
 * The modem-line and device work goes through a driver (win_serial_driver.h)
 * that tests replace with a recorder, so no test opens a real tty (only, where
 * data must flow, a pseudo-terminal of its own). Queues, time-outs and data:
 * win_serial_io.h.
 *
 * Framing: 1.5 stop bits (ONE5STOPBITS) cannot be set on Linux; one stop bit
 * is used instead. The ports of this system that ask for it carry no data at
 * all, only the DTR and RTS lines. The DTR and RTS control modes of the DCB
 * have no Linux counterpart and are kept only as values: the lines change
 * through EscapeCommFunction.
 */
#ifndef WIN_SERIAL_H
#define WIN_SERIAL_H

#include "win_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* CreateFileA access, sharing and creation values. */
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define OPEN_EXISTING 3u

/* PurgeComm flags. */
#define PURGE_TXABORT 0x0001u
#define PURGE_RXABORT 0x0002u
#define PURGE_TXCLEAR 0x0004u
#define PURGE_RXCLEAR 0x0008u

/* EscapeCommFunction functions. */
#define SETRTS 3u
#define CLRRTS 4u
#define SETDTR 5u
#define CLRDTR 6u

/* DCB values. */
#define CBR_9600 9600u
#define CBR_19200 19200u
#define CBR_38400 38400u
#define CBR_57600 57600u
#define CBR_115200 115200u
#define NOPARITY 0u
#define ODDPARITY 1u
#define EVENPARITY 2u
#define ONESTOPBIT 0u
#define ONE5STOPBITS 1u
#define TWOSTOPBITS 2u
#define DTR_CONTROL_DISABLE 0u
#define DTR_CONTROL_ENABLE 1u
#define DTR_CONTROL_HANDSHAKE 2u
#define RTS_CONTROL_DISABLE 0u
#define RTS_CONTROL_ENABLE 1u
#define RTS_CONTROL_HANDSHAKE 2u
#define RTS_CONTROL_TOGGLE 3u

/* The device-control block, laid out as on Windows: the flag bits share one
 * 32-bit word after BaudRate. */
typedef struct _DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD fBinary : 1;
    DWORD fParity : 1;
    DWORD fOutxCtsFlow : 1;
    DWORD fOutxDsrFlow : 1;
    DWORD fDtrControl : 2;
    DWORD fDsrSensitivity : 1;
    DWORD fTXContinueOnXoff : 1;
    DWORD fOutX : 1;
    DWORD fInX : 1;
    DWORD fErrorChar : 1;
    DWORD fNull : 1;
    DWORD fRtsControl : 2;
    DWORD fAbortOnError : 1;
    DWORD fDummy2 : 17;
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    BYTE ByteSize;
    BYTE Parity;
    BYTE StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
} DCB, *LPDCB;

/* Opens a serial port (see the naming above); INVALID_HANDLE_VALUE when the
 * device is absent or in use. The security, flag and template arguments are
 * not used; the share mode is always "no sharing". */
WIN_API HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, void* security, DWORD creation,
                           DWORD flags, HANDLE templateFile);
/* Reads and applies the line settings. SetCommState fails for a baud rate,
 * data size or parity that Linux cannot set. */
WIN_API BOOL GetCommState(HANDLE port, LPDCB dcb);
WIN_API BOOL SetCommState(HANDLE port, LPDCB dcb);
/* Drops what waits in the transmit and/or receive queue. */
WIN_API BOOL PurgeComm(HANDLE port, DWORD flags);
/* SETDTR, CLRDTR, SETRTS or CLRRTS; false for anything else or when the
 * line cannot change. */
WIN_API BOOL EscapeCommFunction(HANDLE port, DWORD function);
/* Closes a handle of CreateFileA; false for a handle that is not open. */
WIN_API BOOL CloseHandle(HANDLE handle);

#ifdef __cplusplus
}
#endif

#endif
