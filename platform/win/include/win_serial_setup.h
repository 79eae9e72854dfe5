/* Set-up shared by the system's own serial ports (not Windows calls): opening
 * "COMn" by number, the line settings of a port without flow control, and the
 * set-up of a port that only carries the DTR and RTS lines.
 */
#ifndef WIN_SERIAL_SETUP_H
#define WIN_SERIAL_SETUP_H

#include "win_serial.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Opens "COM<number>" for reading and writing (see win_serial.h for the
 * naming); INVALID_HANDLE_VALUE when it cannot be opened. */
WIN_API HANDLE WinSerial_OpenComPort(int number);

/* Sets the line of a DCB: the baud rate, 8 data bits, no parity, the given
 * stop bits, parity check flag and DTR and RTS control modes; binary, no flow
 * control of any kind, continue on XOFF, no error or null replacement, no
 * abort on error, XonLim, XoffLim and EofChar 0. The other fields keep their
 * value. */
WIN_API void WinSerial_SetPlainLine(LPDCB dcb, DWORD baudRate, BYTE stopBits, DWORD parityCheck, DWORD dtrControl,
                                    DWORD rtsControl);

/* Opens "COM<number>" as a port of control lines only: 115200, 1.5 stop bits,
 * parity check flag on, DTR control disabled, RTS control enabled (a refused
 * setting is no failure: only the lines matter), both queues purged, then
 * DTR and RTS low. INVALID_HANDLE_VALUE when it cannot be opened. */
WIN_API HANDLE WinSerial_OpenControlLinePort(int number);

#ifdef __cplusplus
}
#endif

#endif
