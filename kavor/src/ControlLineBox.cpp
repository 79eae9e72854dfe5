#include "ControlLineBox.h"

#include "win_time.h"

#include <cstdio>

namespace kavor {

HANDLE ControlLineBox::openPort(std::uint16_t port) {
    char szName[16];
    std::snprintf(szName, sizeof szName, "COM%d", static_cast<int>(port));
    HANDLE h = CreateFileA(szName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;

    DCB dcb{};
    GetCommState(h, &dcb);
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONE5STOPBITS;
    // Flag bits 0..14 become 0x1083; the bits above keep their value.
    dcb.fBinary = 1;
    dcb.fParity = 1;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 1;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = 0;
    dcb.XonLim = 0;
    dcb.XoffLim = 0;
    dcb.EofChar = 0;
    // Only the lines matter, so a refused setting is no failure.
    SetCommState(h, &dcb);
    PurgeComm(h, PURGE_TXCLEAR | PURGE_RXCLEAR);
    EscapeCommFunction(h, CLRDTR);
    EscapeCommFunction(h, CLRRTS);
    return h;
}

bool ControlLineBox::closePort(HANDLE handle) {
    EscapeCommFunction(handle, SETRTS);
    if (!bOpen_) return true;
    return CloseHandle(handle) != FALSE;
}

bool ControlLineBox::ensureOpen(std::uint16_t port) {
    if (bOpen_) return usPort_ == port;
    HANDLE h = openPort(port);
    if (h == INVALID_HANDLE_VALUE) {
        hPort_ = INVALID_HANDLE_VALUE;
        return false;
    }
    hPort_ = h;
    usPort_ = port;
    bOpen_ = true;
    return true;
}

bool ControlLineBox::close() {
    if (!bOpen_ || !closePort(hPort_)) return false;
    hPort_ = INVALID_HANDLE_VALUE;
    bOpen_ = false;
    usPort_ = 0;
    return true;
}

bool ControlLineBox::switchOn(std::uint16_t port) {
    if (!ensureOpen(port) || usPort_ != port) return false;
    if (!EscapeCommFunction(hPort_, SETDTR)) return false;
    Sleep(0);
    return true;
}

bool ControlLineBox::switchOff(std::uint16_t port) {
    if (!bOpen_ || usPort_ != port) return false;
    if (!EscapeCommFunction(hPort_, CLRDTR)) return false;
    Sleep(0);
    return true;
}

} // namespace kavor
