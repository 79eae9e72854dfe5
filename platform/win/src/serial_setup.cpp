#include "win_serial_setup.h"

#include <cstdio>

HANDLE WinSerial_OpenComPort(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "COM%d", number);
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

void WinSerial_SetPlainLine(LPDCB dcb, DWORD baudRate, BYTE stopBits, DWORD parityCheck, DWORD dtrControl,
                            DWORD rtsControl) {
    dcb->BaudRate = baudRate;
    dcb->ByteSize = 8;
    dcb->Parity = NOPARITY;
    dcb->StopBits = stopBits;
    dcb->fBinary = 1;
    dcb->fParity = parityCheck ? 1 : 0;
    dcb->fOutxCtsFlow = 0;
    dcb->fOutxDsrFlow = 0;
    dcb->fDtrControl = dtrControl;
    dcb->fDsrSensitivity = 0;
    dcb->fTXContinueOnXoff = 1;
    dcb->fOutX = 0;
    dcb->fInX = 0;
    dcb->fErrorChar = 0;
    dcb->fNull = 0;
    dcb->fRtsControl = rtsControl;
    dcb->fAbortOnError = 0;
    dcb->XonLim = 0;
    dcb->XoffLim = 0;
    dcb->EofChar = 0;
}

HANDLE WinSerial_OpenControlLinePort(int number) {
    HANDLE port = WinSerial_OpenComPort(number);
    if (port == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(port, &dcb);
    // Flag bits 0..14 become 0x1083; the bits above keep their value.
    WinSerial_SetPlainLine(&dcb, CBR_115200, ONE5STOPBITS, TRUE, DTR_CONTROL_DISABLE, RTS_CONTROL_ENABLE);
    SetCommState(port, &dcb);
    PurgeComm(port, PURGE_TXCLEAR | PURGE_RXCLEAR);
    EscapeCommFunction(port, CLRDTR);
    EscapeCommFunction(port, CLRRTS);
    return port;
}
