#include "ControlLineBox.h"

#include "win_serial_setup.h"
#include "win_time.h"

namespace kavor {

HANDLE ControlLineBox::openPort(std::uint16_t port) {
    return WinSerial_OpenControlLinePort(static_cast<int>(port));
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
